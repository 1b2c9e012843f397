#include <gtest/gtest.h>

#include <cmath>

#include "ViewTestSupport.h"
#include "views/CursorReadout.h"
#include "views/ViewClearing.h"

namespace {

struct CursorCase {
  double x;
  double y;
  char separator;
  const char* panel0;
  const char* panel1;
};

class CursorReadout : public testing::TestWithParam<CursorCase> {};

TEST_P(CursorReadout, ShowsValueAndPointNumber) {
  const CursorCase& c = GetParam();
  WindowModel view;
  ShowCursorReadout(view, c.x, c.y, c.separator);
  EXPECT_EQ(view.statusPanels[0], c.panel0);
  EXPECT_EQ(view.statusPanels[1], c.panel1);
}

INSTANTIATE_TEST_SUITE_P(
    Positions, CursorReadout,
    testing::Values(CursorCase{3.2, 21.46, '.', "Y: 21.5", "X: 3"},
                    CursorCase{3.2, 21.46, ',', "Y: 21,5", "X: 3"},
                    CursorCase{2.5, 20.0, '.', "Y: 20", "X: 2"}, CursorCase{3.5, 0.5, ',', "Y: ,5", "X: 4"},
                    CursorCase{4.5, -0.5, '.', "Y: -.5", "X: 4"}, CursorCase{4.51, 0.0, '.', "Y: 0", "X: 5"},
                    CursorCase{-0.7, -12.34, '.', "Y: -12.3", "X: 0"},
                    CursorCase{-3, 999.96, '.', "Y: 1000", "X: 0"}, CursorCase{NAN, 7, '.', "Y: 7", "X: 0"},
                    CursorCase{1e12, 7, '.', "Y: 7", "X: 2147483647"}));

TEST(ViewClearing, EmptiesTheViewsAndKeepsTheLog) {
  RenderBench bench;
  bench.state.ChipCode = 1;
  bench.state.RecordLength = 10;
  bench.Render(10, {"2023;12;03;14;05;1;2;3;4;5;6;7;8;9;10;11;12;"});
  bench.state.DecodedLines.Add("a;2023;12;03;14;05;1;2;");
  bench.view.memo1 = "a;2023";
  bench.view.memo2 = "2023";
  bench.view.statusPanels[0] = "Y: 5";
  bench.view.pages[PageH].chart.SetAxisRange(-5, 5);
  ClearViews(bench.state, bench.view);
  EXPECT_TRUE(bench.view.memo1.isEmpty());
  EXPECT_TRUE(bench.view.memo2.isEmpty());
  EXPECT_TRUE(bench.state.DecodedLines.IsEmpty());
  for (const ChartPageModel& page : bench.view.pages) {
    for (const ChartSeries& series : page.chart.series) EXPECT_EQ(series.Count(), 0);
    EXPECT_TRUE(page.strip.Lines().isEmpty());
  }
  EXPECT_TRUE(bench.view.summary.Lines().isEmpty());
  EXPECT_EQ(bench.view.progressPosition, 0);
  EXPECT_EQ(bench.view.gaugeCaption, "--");
  EXPECT_EQ(bench.state.LogRecords.Count(), 1);
  EXPECT_EQ(bench.state.DeviceCode, 10);
  EXPECT_EQ(bench.view.progressMaximum, 1632);
  EXPECT_EQ(bench.view.statusPanels[0], "Y: 5");
  EXPECT_EQ(bench.view.pages[PageH].chart.axisMinimum, -5);
  EXPECT_TRUE(bench.view.tabVisible[1]);
}

}  // namespace
