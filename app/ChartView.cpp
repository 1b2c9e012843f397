#include "ChartView.h"

#include <qcustomplot.h>
#include <QEvent>
#include <QMouseEvent>
#include <cmath>
#include <limits>

#include "core/Win1250.h"

namespace {

// Pixels between two neighbouring bottom-axis labels.
constexpr int LabelGapPx = 2;

}  // namespace

ChartView::ChartView(QCustomPlot* plot) : QObject(plot), plot_(plot) {
  plot_->setBackground(Qt::white);
  plot_->setInteractions({});
  plot_->xAxis->setTickLabelRotation(90);
  plot_->xAxis->setSubTicks(false);
  plot_->xAxis->setTicker(QSharedPointer<QCPAxisTickerText>::create());
  plot_->yAxis->setSubTicks(false);
  plot_->setNoAntialiasingOnDrag(true);
  plot_->installEventFilter(this);
  connect(plot_, &QCustomPlot::mouseMove, this,
          [this](QMouseEvent* event) { emit MouseMoved(AxisValuesAt(event->position().toPoint())); });
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
  if (plot_->yAxis->range() != QCPRange(model.axisMinimum, model.axisMaximum)) {
    plot_->yAxis->setRange(model.axisMinimum, model.axisMaximum);
    changed = true;
  }
  if (changed || pointCount != pointCount_) {
    pointCount_ = pointCount;
    plot_->xAxis->setRange(-0.5, std::max(pointCount_, 1) - 0.5);
    UpdateBottomLabels();
    plot_->replot(QCustomPlot::rpQueuedReplot);
  }
}

QPointF ChartView::AxisValuesAt(QPoint pixel) const {
  return {plot_->xAxis->pixelToCoord(pixel.x()), plot_->yAxis->pixelToCoord(pixel.y())};
}

bool ChartView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == plot_ && event->type() == QEvent::Resize) {
    UpdateBottomLabels();
    emit Resized(plot_->size());
  }
  return QObject::eventFilter(watched, event);
}

void ChartView::UpdateBottomLabels() {
  auto ticker = plot_->xAxis->ticker().dynamicCast<QCPAxisTickerText>();
  ticker->clear();
  if (labels_.empty()) return;
  const int labelWidth = QFontMetrics(plot_->xAxis->tickLabelFont()).height() + LabelGapPx;
  const int axisWidth = std::max(plot_->axisRect()->width(), plot_->width() - 60);
  const int fitting = std::max(1, axisWidth / std::max(labelWidth, 1));
  const int step = std::max(1, int(std::ceil(double(labels_.size()) / fitting)));
  for (size_t i = 0; i < labels_.size(); i += size_t(step))
    ticker->addTick(double(i), FromWin1250(labels_[i]));
}
