#pragma once

#include <QObject>
#include <QPointF>
#include <QSize>
#include <vector>

#include "views/ChartModel.h"

class QCustomPlot;

// Draws a chart model in a QCustomPlot: one line graph per series (a null point is a gap), the fixed
// left-axis limits, and the point labels along the bottom axis turned 90 degrees, as many as fit
// without overlapping. Only series whose model changed are handed to the plot again.
class ChartView : public QObject {
  Q_OBJECT
 public:
  explicit ChartView(QCustomPlot* plot);

  void Show(const ChartModel& model);
  // The bottom-axis and left-axis values at a pixel position of the plot.
  QPointF AxisValuesAt(QPoint pixel) const;

 signals:
  void MouseMoved(QPointF axisValues);
  void Resized(QSize size);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void UpdateBottomLabels();

  QCustomPlot* plot_;
  std::vector<uint64_t> shownRevisions_;
  std::vector<QByteArray> labels_;
  int pointCount_ = 0;
};
