#include "fuzz/RenderedViews.h"

#include "fuzz/FuzzInput.h"
#include "views/ChartLayouts.h"

void RequireRenderedViews(const SharedState& state, const WindowModel& view) {
  const std::optional<ChartLayout> layout = LookUpChartLayout(state.DeviceCode);
  for (int page = 0; page < 4; ++page) {
    const int charted = layout ? layout->channels[page] : 0;
    const std::vector<ChartSeries>& series = view.pages[page].chart.series;
    for (int k = 0; k < int(series.size()); ++k) {
      FUZZ_REQUIRE(series[k].Count() == (k < charted ? state.LogLines.Count() : 0));
    }
  }
  FUZZ_REQUIRE(view.progressPosition == state.LogLines.Count());
}
