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

namespace {

constexpr double VoltAmperesPerKilowatt = 1000;

// The fields of `readings` that measure `letter`, in field order.
std::vector<size_t> FieldsOf(const DeviceType& type, char letter, size_t fieldCount) {
  std::vector<size_t> fields;
  for (size_t field = 0; field < fieldCount; ++field) {
    if (FieldQuantity(type, int(field)) == letter) fields.push_back(field);
  }
  return fields;
}

}  // namespace

void PowerOfVoltageAndCurrent(const DeviceType& type, std::vector<double>& readings) {
  const std::vector<size_t> power = FieldsOf(type, 'W', readings.size());
  const std::vector<size_t> voltage = FieldsOf(type, 'Y', readings.size());
  const std::vector<size_t> current = FieldsOf(type, 'Z', readings.size());
  const double volts = QuantityOf('Y').scale;
  const double amperes = QuantityOf('Z').scale;
  const double kilowatts = QuantityOf('W').scale;
  for (size_t phase = 0; phase < power.size() && phase < voltage.size() && phase < current.size(); ++phase) {
    readings[power[phase]] = readings[voltage[phase]] * volts * readings[current[phase]] * amperes /
                             VoltAmperesPerKilowatt / kilowatts;
  }
}
