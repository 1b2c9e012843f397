#pragma once

#include "core/SharedState.h"
#include "views/WindowModel.h"

// What a normal return of RenderViews over LogRecords must leave: one point per record on every series the
// device code charts, no point on any other, and the fill gauge at the number of records. (A
// line that does not fit its layout raises the views' own error instead, an expected outcome.)
void RequireRenderedViews(const SharedState& state, const WindowModel& view);
