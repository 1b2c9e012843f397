#pragma once

#include <array>
#include <optional>

#include "core/SharedState.h"
#include "decode/DeviceCatalogue.h"
#include "views/ChannelExtremes.h"
#include "views/WindowModel.h"

// A device code's presentation: its page family and the catalogue row whose value columns the pages
// take their channels from.
struct PageLayout {
  const DeviceType* type;
  PageFamily family;
};

// The layout of a device code, or nothing (a row without a page family and every code outside the
// catalogue); a code without a layout charts no values.
std::optional<PageLayout> LookUpPageLayout(int deviceCode);

// Which chart series a layout fills from its measurement lines: a number of channels on each page in
// the order T, H, C, V. The value columns are read one after another from FirstValueColumn: first into
// Series_T1, Series_T2 ..., then into Series_H1 ..., then C, then V.
std::array<int, 4> ChartChannels(const PageLayout& layout);

// Column of the first value of a measurement line; columns 0 to 4 hold the date and time.
constexpr int FirstValueColumn = 5;

// The second half of RenderViews, run on the series that PopulateCharts filled: sets the tab width,
// the shown tabs, the page captions and series colours of the DeviceCode's layout, and rewrites the
// last-value strips (from LineFields) and the summary box. A code without a layout changes nothing.
// Numbers are written with the system's decimal separator.
void SetUpPages(const SharedState& state, WindowModel& view, char systemDecimalSeparator,
                const ChannelExtremes& extremes);
