#pragma once

#include "views/WindowModel.h"

// The number of the point under the mouse: the bottom-axis value to the nearest integer, a half to
// the even neighbour; left of the first point (below 0) it is 0.
int PointNumber(double bottomAxisValue);

// Mouse movement over a chart, given the axis values under the mouse: status bar panel 0 shows
// "Y: " and the left-axis value with at most one decimal ("#.#", 0 shows as "0"), panel 1 "X: " and
// the point number.
void ShowCursorReadout(WindowModel& view, double bottomAxisValue, double leftAxisValue,
                       char systemDecimalSeparator);
