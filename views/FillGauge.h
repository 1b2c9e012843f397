#pragma once

#include "core/SharedState.h"
#include "views/WindowModel.h"

// The fill gauge: the number of measurement lines against the records the log chip can hold.
// On a known chip the caption reads "<lines>/<capacity - 1>" and the bar's maximum is the capacity;
// otherwise both stay as they are. The bar's position is always the number of lines.
void ShowFillGauge(const SharedState& state, WindowModel& view);
