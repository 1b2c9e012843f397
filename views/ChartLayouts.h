#pragma once

#include <array>
#include <optional>

// Which chart series a device code fills from its measurement lines: a number of channels on each page
// in the order T, H, C, V. The value columns are read one after another from column 5: first into
// Series_T1, Series_T2 ..., then into Series_H1 ..., then C, then V.
struct ChartLayout {
  int code;
  std::array<int, 4> channels;
};

// The layout of a device code, or nothing for a code that charts no values (0, 1, 11, 20, 57 .. 101,
// above 106).
std::optional<ChartLayout> LookUpChartLayout(int deviceCode);

// Column of the first value of a measurement line; columns 0 to 4 hold the date and time.
constexpr int FirstValueColumn = 5;

// The energy meter logs its values in tenths; its chart shows them divided by 10 and its raw extremes
// are kept for the summary.
constexpr int EnergyMeterCode = 55;
