#include "tools/sim/ChannelQuantities.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace {

// A daily curve: the night value at 04:00, the day value at 16:00, a cosine between them, raised to
// `sharpness` so that light stays near zero at night; noise is the standard deviation.
struct QuantityCurve {
  char quantity;
  double night;
  double day;
  double sharpness;
  double noise;
  double channelStep;
  double low;
  double high;
};

constexpr std::array<QuantityCurve, 13> Curves = {{
    {'T', 18.5, 25.0, 1, 0.3, 0.7, -40, 100},
    {'H', 62, 38, 1, 1.5, 2, 0, 100},
    {'A', 9, 11, 1, 0.3, 0.3, 0, 30},
    {'C', 450, 1400, 1, 40, 30, 380, 5000},
    {'V', 80, 450, 1, 20, 10, 0, 2000},
    {'L', 0, 800, 4, 20, 50, 0, 60000},
    {'I', 250, 1600, 1, 40, 100, 0, 3000},
    {'U', 229, 233, 1, 0.5, 0.3, 0, 300},
    {'P', 4, 25, 1, 2, 3, 0, 500},
    {'W', 1500, 12000, 1, 300, 500, 1, 65000},
    {'Y', 2290, 2330, 1, 5, 3, 1, 65000},
    {'Z', 15, 60, 1, 2, 2, 1, 65000},
    {'X', 40, 60, 1, 5, 5, 0, 100},
}};

}  // namespace

char FieldQuantity(const DeviceType& type, int field) {
  const size_t column = size_t(field * ColumnsPerField(type.fieldType));
  const char letter = column < type.columns.size() ? type.columns[column] : 'X';
  // The particle size classes share one curve.
  return std::string_view("1240").find(letter) != std::string_view::npos ? 'P' : letter;
}

double QuantityReading(char quantity, int channel, const QDateTime& when, std::mt19937& random) {
  const auto it = std::find_if(Curves.begin(), Curves.end(),
                               [&](const QuantityCurve& c) { return c.quantity == quantity; });
  const QuantityCurve& curve = it == Curves.end() ? Curves.back() : *it;
  const double hours = when.time().msecsSinceStartOfDay() / 3'600'000.0;
  const double daylight =
      std::pow((1 - std::cos(2 * std::numbers::pi * (hours - 4) / 24)) / 2, curve.sharpness);
  std::normal_distribution<double> noise(0, curve.noise);
  const double value =
      curve.night + (curve.day - curve.night) * daylight + curve.channelStep * channel + noise(random);
  return std::clamp(value, curve.low, curve.high);
}
