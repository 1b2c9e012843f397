#include "views/RenderViews.h"

#include "views/ChartPopulation.h"
#include "views/FillGauge.h"
#include "views/PageLayouts.h"

void RenderViews(SharedState& state, WindowModel& view, const Environment& env) {
  ChannelExtremes extremes;
  PopulateCharts(state, view, env.systemDecimalSeparator, extremes);
  SetUpPages(state, view, env.systemDecimalSeparator, extremes);
  ShowFillGauge(state, view);
}
