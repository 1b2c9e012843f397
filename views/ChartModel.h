#pragma once

#include <QByteArray>
#include <QList>
#include <utility>
#include <vector>

#include "views/Colours.h"

// One point of a line series. A null point (a missing value) has y = 0 and is drawn as a gap.
struct ChartPoint {
  double y = 0;
  QByteArray label;
  bool isNull = false;
};

// A numbered line series of a chart: points with ordinals 0, 1, 2 ... in list order.
class ChartSeries {
 public:
  explicit ChartSeries(Rgb colour = 0) : colour_(colour) {}

  void Clear();
  // Makes room for a number of points, so that a long log is added without reallocations.
  void Reserve(int count) { points_.reserve(count); }
  void AddValue(double y);
  void AddNull();
  // Replaces the x label of point i (which must exist).
  void SetLabel(int index, const QByteArray& label);

  const QList<ChartPoint>& Points() const { return points_; }
  int Count() const { return int(points_.size()); }
  // Smallest and largest y of the values, null points left out; 0 for a series without a value.
  double MinY() const;
  double MaxY() const;

  Rgb Colour() const { return colour_; }
  void SetColour(Rgb colour);

  // Grows with every change, so a widget redraws only what changed.
  uint64_t Revision() const { return revision_; }

 private:
  std::pair<double, double> ValueRange() const;

  QList<ChartPoint> points_;
  Rgb colour_;
  uint64_t revision_ = 0;
};

// A limit of a charted channel: a dashed horizontal line at its value, in the channel's colour.
struct LimitLine {
  double value = 0;
  Rgb colour = 0;
  bool operator==(const LimitLine&) const = default;
};

// One chart: its numbered series (index 0 is Series_X1), the limits of its channels and the fixed
// limits of its left axis.
struct ChartModel {
  std::vector<ChartSeries> series;
  std::vector<LimitLine> limitLines;
  double axisMinimum = -200;
  double axisMaximum = 1000;

  // Sets both limits at once, so the range is never inverted on the way.
  void SetAxisRange(double minimum, double maximum) {
    axisMinimum = minimum;
    axisMaximum = maximum;
  }
};
