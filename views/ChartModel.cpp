#include "views/ChartModel.h"

#include <algorithm>

void ChartSeries::Clear() {
  points_.clear();
  ++revision_;
}

void ChartSeries::AddValue(double y) {
  points_.append(ChartPoint{y, {}, false});
  ++revision_;
}

void ChartSeries::AddNull() {
  points_.append(ChartPoint{0, {}, true});
  ++revision_;
}

void ChartSeries::SetLabel(int index, const QByteArray& label) {
  points_[index].label = label;
  ++revision_;
}

double ChartSeries::MinY() const {
  const auto [minimum, maximum] = ValueRange();
  return minimum;
}

double ChartSeries::MaxY() const {
  const auto [minimum, maximum] = ValueRange();
  return maximum;
}

std::pair<double, double> ChartSeries::ValueRange() const {
  bool seen = false;
  double minimum = 0;
  double maximum = 0;
  for (const ChartPoint& point : points_) {
    if (point.isNull) continue;
    if (!seen || point.y < minimum) minimum = point.y;
    if (!seen || point.y > maximum) maximum = point.y;
    seen = true;
  }
  return {minimum, maximum};
}

void ChartSeries::SetColour(Rgb colour) {
  colour_ = colour;
  ++revision_;
}
