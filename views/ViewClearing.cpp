#include "views/ViewClearing.h"

void EmptySeriesAndTexts(WindowModel& view) {
  for (ChartPageModel& page : view.pages) {
    for (ChartSeries& series : page.chart.series) series.Clear();
    page.chart.limitLines.clear();
  }
  view.summary.Clear();
  for (ChartPageModel& page : view.pages) page.strip.Clear();
}

void ClearViews(SharedState& state, WindowModel& view) {
  view.memo1.clear();
  view.memo2.clear();
  state.DecodedLines.Clear();
  EmptySeriesAndTexts(view);
  view.progressPosition = 0;
  view.gaugeCaption = "--";
}
