#pragma once

#include <span>

#include "views/WindowModel.h"
#include "watch/LimitRules.h"

// Draws the limits of a device code's charted channels on their pages: a line per limit at its value,
// in the colour of the channel's series, one line for channels of a page that share a limit. `limits`
// holds one entry per value column, as LimitRules::LimitsOf gives them; a code without a layout charts
// none. Run after RenderViews, which takes the old lines away with the old series.
void SetLimitLines(WindowModel& view, int deviceCode, std::span<const ChannelLimit> limits);
