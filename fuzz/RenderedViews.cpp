#include "fuzz/RenderedViews.h"

#include "fuzz/FuzzInput.h"
#include "views/PageLayouts.h"

void RequireRenderedViews(const SharedState& state, const WindowModel& view) {
  const std::optional<PageLayout> layout = LookUpPageLayout(state.DeviceCode);
  const std::array<int, 4> channels = layout ? ChartChannels(*layout) : std::array<int, 4>{};
  for (int page = 0; page < 4; ++page) {
    const int charted = channels[page];
    const std::vector<ChartSeries>& series = view.pages[page].chart.series;
    for (int k = 0; k < int(series.size()); ++k) {
      FUZZ_REQUIRE(series[k].Count() == (k < charted ? state.LogRecords.Count() : 0));
    }
  }
  FUZZ_REQUIRE(view.progressPosition == state.LogRecords.Count());
}
