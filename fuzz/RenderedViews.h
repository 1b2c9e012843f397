#pragma once

#include "core/Environment.h"
#include "core/SharedState.h"
#include "views/WindowModel.h"

// Runs RenderViews over LogLines as a readout or a file open does. A line that does not fit its
// layout raises the views' own error, which is an expected outcome; a normal return must leave one
// point per measurement line on every series the device code charts, no point on any other, and the
// fill gauge at the number of lines.
void RenderAndCheckViews(SharedState& state, WindowModel& view, const Environment& env);
