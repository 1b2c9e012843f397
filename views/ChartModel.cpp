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
  if (points_.isEmpty()) return 0;
  return std::min_element(points_.begin(), points_.end(), [](auto& a, auto& b) { return a.y < b.y; })->y;
}

double ChartSeries::MaxY() const {
  if (points_.isEmpty()) return 0;
  return std::max_element(points_.begin(), points_.end(), [](auto& a, auto& b) { return a.y < b.y; })->y;
}

void ChartSeries::SetColour(Rgb colour) {
  colour_ = colour;
  ++revision_;
}
