#pragma once

#include "core/Environment.h"
#include "core/SharedState.h"
#include "views/WindowModel.h"

// Redraws every view from LogRecords for the current DeviceCode: first the chart series, then pages,
// last-value lines, summary box and fill gauge. Throws ValdError "List index out of bounds (%d)" or
// "'%s' is not a valid floating point value" for a line that does not fit its layout; what was drawn
// before the failure stays and the page setup does not run.
void RenderViews(SharedState& state, WindowModel& view, const Environment& env);
