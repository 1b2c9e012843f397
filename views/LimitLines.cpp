#include "views/LimitLines.h"

#include <algorithm>

#include "views/PageLayouts.h"

void SetLimitLines(WindowModel& view, int deviceCode, std::span<const ChannelLimit> limits) {
  for (ChartPageModel& page : view.pages) page.chart.limitLines.clear();
  const std::optional<PageLayout> layout = LookUpPageLayout(deviceCode);
  if (!layout) return;
  // The value columns fill the pages' series one after another, as the charts are populated.
  const std::array<int, 4> channels = ChartChannels(*layout);
  size_t column = 0;
  for (int page = 0; page < 4; ++page) {
    ChartModel& chart = view.pages[size_t(page)].chart;
    for (int k = 0; k < channels[size_t(page)] && column < limits.size(); ++k, ++column) {
      const ChannelLimit& limit = limits[column];
      for (const std::optional<double>& value : {limit.low, limit.high}) {
        if (!value) continue;
        const bool drawn = std::any_of(chart.limitLines.begin(), chart.limitLines.end(),
                                       [&](const LimitLine& line) { return line.value == *value; });
        if (!drawn) chart.limitLines.push_back({*value, chart.series[size_t(k)].Colour()});
      }
    }
  }
}
