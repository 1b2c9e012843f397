#pragma once

#include <QObject>
#include <QPointF>
#include <QSize>
#include <vector>

#include "views/ChartModel.h"

class QCustomPlot;
class QCPItemStraightLine;
class QCPRange;

// Draws a chart model in a QCustomPlot: one line graph per series (a null point is a gap), a dashed
// line across the chart per limit line, the fixed left-axis limits, and the point labels along the bottom
// axis turned 90 degrees, as many as fit without overlapping. Only series whose model changed are handed to
// the plot again. The mouse wheel zooms the time axis around the cursor, dragging pans it, a double click
// shows the whole log; the left axis keeps its limits.
class ChartView : public QObject {
  Q_OBJECT
 public:
  explicit ChartView(QCustomPlot* plot);

  void Show(const ChartModel& model);
  // The whole log along the time axis again, after a zoom or a pan.
  void ShowWholeLog();
  // The chart as a picture: PDF for a ".pdf" path, PNG otherwise. Throws ValdError when not written.
  void SavePicture(const QString& path) const;
  // The bottom-axis and left-axis values at a pixel position of the plot.
  QPointF AxisValuesAt(QPoint pixel) const;

 signals:
  void MouseMoved(QPointF axisValues);
  void Resized(QSize size);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void UpdateBottomLabels();
  void Replot();
  // Replaces the limit lines when the model's changed; true when it did.
  bool ShowLimitLines(const std::vector<LimitLine>& lines);
  // Keeps a zoomed or panned time axis within the log.
  void KeepTimeAxisWithinLog(const QCPRange& range);

  QCustomPlot* plot_;
  std::vector<uint64_t> shownRevisions_;
  std::vector<QByteArray> labels_;
  std::vector<LimitLine> shownLimits_;
  std::vector<QCPItemStraightLine*> limitItems_;
  int pointCount_ = 0;
  int labelStep_ = 0;
  // The plot's drawing is older than its data or its size; it is drawn again before it is painted.
  bool drawingStale_ = false;
};
