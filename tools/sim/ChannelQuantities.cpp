#include "tools/sim/ChannelQuantities.h"

#include <algorithm>
#include <cmath>
#include <numbers>

char FieldQuantity(const DeviceType& type, int field) {
  const size_t column = size_t(field * ColumnsPerField(type.fieldType));
  return column < type.columns.size() ? type.columns[column] : 'X';
}

double QuantityReading(char quantity, int channel, const QDateTime& when, std::mt19937& random) {
  const DailyCurve& curve = QuantityOf(quantity).curve;
  const double hours = when.time().msecsSinceStartOfDay() / 3'600'000.0;
  const double daylight =
      std::pow((1 - std::cos(2 * std::numbers::pi * (hours - 4) / 24)) / 2, curve.sharpness);
  std::normal_distribution<double> noise(0, curve.noise);
  const double value =
      curve.night + (curve.day - curve.night) * daylight + curve.channelStep * channel + noise(random);
  return std::clamp(value, curve.low, curve.high);
}
