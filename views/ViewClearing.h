#pragma once

#include "core/SharedState.h"
#include "views/WindowModel.h"

// Removes every point and limit line from the thirty chart series and empties the summary box and the four
// last-value strips.
void EmptySeriesAndTexts(WindowModel& view);

// "Adatok törlése": empties the "Data" and "Adatok" pages, DecodedLines, the series and the five text
// boxes, and resets the fill gauge. The shown log, the device state, the axes and the status bar stay.
void ClearViews(SharedState& state, WindowModel& view);
