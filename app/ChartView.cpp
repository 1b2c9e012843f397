#include "ChartView.h"

#include <qcustomplot.h>
#include <QCoreApplication>
#include <QEvent>
#include <QMouseEvent>
#include <cmath>
#include <limits>

#include "core/ValdError.h"
#include "core/Win1250.h"

namespace {

// Pixels between two neighbouring bottom-axis labels.
constexpr int LabelGapPx = 2;

}  // namespace

ChartView::ChartView(QCustomPlot* plot) : QObject(plot), plot_(plot) {
  // The plot queues a drawing of itself when made: a chart is drawn before it is first painted instead
  // (see eventFilter), so that the charts of hidden pages are not drawn at start-up for nothing.
  QCoreApplication::removePostedEvents(plot_, QEvent::MetaCall);
  // The legend is never shown: its items would only be laid out at every drawing.
  plot_->setAutoAddPlottableToLegend(false);
  // Nothing is drawn on the overlay layer (there is no selection rectangle): it shares the one picture
  // buffer of the other layers instead of having a window-sized buffer of its own to clear and paint.
  plot_->layer(QStringLiteral("overlay"))->setMode(QCPLayer::lmLogical);
  plot_->setBackground(Qt::white);
  plot_->setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
  plot_->axisRect()->setRangeDrag(Qt::Horizontal);
  plot_->axisRect()->setRangeZoom(Qt::Horizontal);
  plot_->axisRect()->setRangeDragAxes(plot_->xAxis, nullptr);
  plot_->axisRect()->setRangeZoomAxes(plot_->xAxis, nullptr);
  plot_->xAxis->setTickLabelRotation(90);
  plot_->xAxis->setSubTicks(false);
  plot_->xAxis->setTicker(QSharedPointer<QCPAxisTickerText>::create());
  plot_->yAxis->setSubTicks(false);
  plot_->setNoAntialiasingOnDrag(true);
  plot_->installEventFilter(this);
  connect(plot_, &QCustomPlot::mouseMove, this,
          [this](QMouseEvent* event) { emit MouseMoved(AxisValuesAt(event->position().toPoint())); });
  connect(plot_, &QCustomPlot::mouseDoubleClick, this, &ChartView::ShowWholeLog);
  connect(plot_->xAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this,
          &ChartView::KeepTimeAxisWithinLog);
}

void ChartView::Show(const ChartModel& model) {
  bool changed = false;
  while (plot_->graphCount() < int(model.series.size())) plot_->addGraph();
  shownRevisions_.resize(model.series.size(), std::numeric_limits<uint64_t>::max());
  int pointCount = 0;
  for (size_t s = 0; s < model.series.size(); ++s) {
    const ChartSeries& series = model.series[s];
    pointCount = std::max(pointCount, series.Count());
    if (shownRevisions_[s] == series.Revision()) continue;
    shownRevisions_[s] = series.Revision();
    changed = true;
    QVector<double> keys(series.Count());
    QVector<double> values(series.Count());
    for (int i = 0; i < series.Count(); ++i) {
      const ChartPoint& point = series.Points()[i];
      keys[i] = i;
      values[i] = point.isNull ? std::numeric_limits<double>::quiet_NaN() : point.y;
    }
    QCPGraph* graph = plot_->graph(int(s));
    graph->setData(keys, values, true);
    graph->setPen(QPen(QColor::fromRgb(series.Colour())));
    if (s == 0) {
      labels_.clear();
      labels_.reserve(series.Count());
      for (const ChartPoint& point : series.Points()) labels_.push_back(point.label);
    }
  }
  bool replot = ShowLimitLines(model.limitLines);
  if (plot_->yAxis->range() != QCPRange(model.axisMinimum, model.axisMaximum)) {
    plot_->yAxis->setRange(model.axisMinimum, model.axisMaximum);
    replot = true;
  }
  // New data shows the whole log; new axis limits keep the zoom.
  if (changed || pointCount != pointCount_) {
    pointCount_ = pointCount;
    labelStep_ = 0;
    ShowWholeLog();
    replot = true;
  }
  if (replot) Replot();
}

void ChartView::Replot() {
  // A chart on a hidden page is drawn when it is next painted: the start-up and a readout draw the visible
  // chart alone.
  if (!plot_->isVisible()) {
    drawingStale_ = true;
    return;
  }
  plot_->replot(QCustomPlot::rpQueuedReplot);
}

bool ChartView::ShowLimitLines(const std::vector<LimitLine>& lines) {
  if (lines == shownLimits_) return false;
  shownLimits_ = lines;
  for (QCPItemStraightLine* item : limitItems_) plot_->removeItem(item);
  limitItems_.clear();
  for (const LimitLine& line : lines) {
    auto* item = new QCPItemStraightLine(plot_);
    item->point1->setCoords(0, line.value);
    item->point2->setCoords(1, line.value);
    item->setPen(QPen(QColor::fromRgb(line.colour), 1, Qt::DashLine));
    limitItems_.push_back(item);
  }
  return true;
}

void ChartView::ShowWholeLog() {
  plot_->xAxis->setRange(-0.5, std::max(pointCount_, 1) - 0.5);
  UpdateBottomLabels();
  Replot();
}

void ChartView::KeepTimeAxisWithinLog(const QCPRange& range) {
  // An empty chart has no log to keep to.
  if (pointCount_ == 0) return;
  const QCPRange whole(-0.5, std::max(pointCount_, 1) - 0.5);
  QCPRange kept = range;
  if (kept.size() > whole.size()) kept = whole;
  if (kept.lower < whole.lower) kept += whole.lower - kept.lower;
  if (kept.upper > whole.upper) kept -= kept.upper - whole.upper;
  if (kept != range) {
    plot_->xAxis->setRange(kept);
    return;
  }
  UpdateBottomLabels();
}

void ChartView::SavePicture(const QString& path) const {
  const bool written = path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive) ? plot_->savePdf(path)
                                                                                  : plot_->savePng(path);
  if (!written) throw ValdError(QStringLiteral("Cannot write the picture '%1'").arg(path));
}

QPointF ChartView::AxisValuesAt(QPoint pixel) const {
  return {plot_->xAxis->pixelToCoord(pixel.x()), plot_->yAxis->pixelToCoord(pixel.y())};
}

bool ChartView::eventFilter(QObject* watched, QEvent* event) {
  if (watched != plot_) return QObject::eventFilter(watched, event);
  if (event->type() == QEvent::Resize) {
    UpdateBottomLabels();
    emit Resized(plot_->size());
    if (!plot_->isVisible()) {
      // A plot is resized as its page is shown, before the page control lays the page out at its final
      // size: it takes the size and is drawn once, before it is painted, not at every size on the way.
      plot_->setViewport(plot_->rect());
      drawingStale_ = true;
      return true;
    }
    // The plot draws itself at its new size.
    drawingStale_ = false;
  }
  if (event->type() == QEvent::Paint && drawingStale_) {
    drawingStale_ = false;
    plot_->replot(QCustomPlot::rpQueuedRefresh);
  }
  return QObject::eventFilter(watched, event);
}

// Labels at every step-th point from the first, so that a pan moves them with their points.
void ChartView::UpdateBottomLabels() {
  auto ticker = plot_->xAxis->ticker().dynamicCast<QCPAxisTickerText>();
  if (labels_.empty()) {
    ticker->clear();
    labelStep_ = 0;
    return;
  }
  const int labelWidth = QFontMetrics(plot_->xAxis->tickLabelFont()).height() + LabelGapPx;
  const int axisWidth = std::max(plot_->axisRect()->width(), plot_->width() - 60);
  const int fitting = std::max(1, axisWidth / std::max(labelWidth, 1));
  const double shown = std::min(double(labels_.size()), plot_->xAxis->range().size());
  const int step = std::max(1, int(std::ceil(shown / fitting)));
  if (step == labelStep_) return;
  labelStep_ = step;
  ticker->clear();
  for (size_t i = 0; i < labels_.size(); i += size_t(step))
    ticker->addTick(double(i), FromWin1250(labels_[i]));
}
