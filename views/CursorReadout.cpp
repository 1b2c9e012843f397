#include "views/CursorReadout.h"

#include <cmath>
#include <limits>

#include "views/NumberFormats.h"

int PointNumber(double bottomAxisValue) {
  // NaN (a chart without extent) and values past the integer range end at the nearest valid number.
  if (!(bottomAxisValue > 0)) return 0;
  constexpr double Largest = std::numeric_limits<int>::max();
  if (bottomAxisValue >= Largest) return std::numeric_limits<int>::max();
  const double below = std::floor(bottomAxisValue);
  const double fraction = bottomAxisValue - below;
  const bool up = fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2) != 0);
  return int(below) + (up ? 1 : 0);
}

void ShowCursorReadout(WindowModel& view, double bottomAxisValue, double leftAxisValue,
                       char systemDecimalSeparator) {
  view.statusPanels[0] =
      "Y: " + FormatNumber(leftAxisValue, NumberFormat::OptionalDecimal, systemDecimalSeparator);
  view.statusPanels[1] = "X: " + QByteArray::number(PointNumber(bottomAxisValue));
}
