#include "tools/sim/ChannelQuantities.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace {

struct DeviceChannels {
  int deviceCode;
  std::string_view quantities;
};

constexpr std::array<DeviceChannels, 59> Channels = {{
    {2, "TT"},
    {3, "TTTT"},
    {4, "TTH"},
    {5, "TTTTHHHH"},
    {6, "TT"},
    {7, "TTHH"},
    {8, "TH"},
    {9, "TTTTTT"},
    {10, "TTTTTTHHHHHH"},
    {11, "XX"},
    {12, "T"},
    {13, "TT"},
    {14, "LL"},
    {15, "TT"},
    {16, "TT"},
    {17, "TT"},
    {18, "III"},
    {19, "TTHHXXXXXXXX"},
    {21, "TT"},
    {22, "TTTT"},
    {23, "TTTTTT"},
    {24, "TTH"},
    {25, "TTHH"},
    {26, "TTTTHHHH"},
    {27, "TTTTTTHHHHHH"},
    {28, "TT"},
    {29, "THXXXXXXXXXX"},
    {30, "TTHH"},
    {31, "R"},
    {32, "T"},
    {33, "TT"},
    {34, "TT"},
    {35, "TT"},
    {36, "LL"},
    {37, "TT"},
    {38, "III"},
    {39, "B"},
    {40, "B"},
    {41, "B"},
    {42, "KKKKKKKKKKKK"},
    {43, "THCV"},
    {44, "THCV"},
    {45, "TTTTHHHHAAAA"},
    {46, "B"},
    {47, "B"},
    {48, "TTHH"},
    {49, "TTHH"},
    {50, "PPPPPPPPPPPPPPPP"},
    {51, "TH"},
    {52, "T"},
    {53, "TT"},
    {54, "TTTT"},
    {55, "WWWYYYZZZ"},
    {56, "THU"},
    {102, "B"},
    {103, "KKKKKKKKKKKK"},
    {104, "THCV"},
    {105, "THCV"},
    {106, "TTTTHHHHAAAA"},
}};

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

std::string_view ChannelQuantities(int deviceCode) {
  const auto it = std::find_if(Channels.begin(), Channels.end(),
                               [&](const DeviceChannels& row) { return row.deviceCode == deviceCode; });
  return it == Channels.end() ? std::string_view() : it->quantities;
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
