#include <gtest/gtest.h>

#include <cmath>

#include "ViewTestSupport.h"
#include "views/AxisScale.h"

namespace {

struct ClickCase {
  const char* name;
  int maximum;
  int minimum;
  int step;
  bool onMaximum;
  UpDownButton button;
  int expectedMaximum;
  int expectedMinimum;
};

class AxisStep : public testing::TestWithParam<ClickCase> {};

// A click moves its control by the step within the range; the handler then keeps the maximum above
// the minimum by moving the clicked control only, and the axis shows both positions.
TEST_P(AxisStep, KeepsMaximumAboveMinimum) {
  const ClickCase& c = GetParam();
  for (const ChartPage page : {PageT, PageH}) {
    WindowModel view;
    ChartPageModel& chart = view.pages[page];
    chart.upDnMax.position = c.maximum;
    chart.upDnMin.position = c.minimum;
    chart.upDnMax.step = chart.upDnMin.step = c.step;
    if (c.onMaximum) {
      ClickUpDown(chart.upDnMax, c.button);
      StepAxisMaximum(chart);
    } else {
      ClickUpDown(chart.upDnMin, c.button);
      StepAxisMinimum(chart);
    }
    EXPECT_EQ(chart.upDnMax.position, c.expectedMaximum) << page;
    EXPECT_EQ(chart.upDnMin.position, c.expectedMinimum) << page;
    EXPECT_EQ(chart.chart.axisMaximum, c.expectedMaximum) << page;
    EXPECT_EQ(chart.chart.axisMinimum, c.expectedMinimum) << page;
  }
}

using enum UpDownButton;
INSTANTIATE_TEST_SUITE_P(Clicks, AxisStep,
                         testing::Values(ClickCase{"MaximumUp", 40, 10, 5, true, Up, 45, 10},
                                         ClickCase{"MaximumDownOntoMinimum", 15, 10, 5, true, Down, 11, 10},
                                         ClickCase{"MaximumDownPastMinimum", 15, 10, 10, true, Down, 11, 10},
                                         ClickCase{"MinimumUpPastMaximum", 15, 10, 10, false, Up, 15, 14},
                                         ClickCase{"MinimumDown", 15, 10, 10, false, Down, 15, 0},
                                         ClickCase{"MaximumStopsAtRangeEnd", 31998, 10, 5, true, Up, 32000,
                                                   10}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AxisStep, MinimumOfTheFirstChartHasItsOwnRange) {
  WindowModel view;
  view.pages[PageT].upDnMin.position = -3200;
  view.pages[PageH].upDnMin.position = -3200;
  for (const ChartPage page : {PageT, PageH}) {
    ClickUpDown(view.pages[page].upDnMin, Down);
    StepAxisMinimum(view.pages[page]);
  }
  EXPECT_EQ(view.pages[PageT].upDnMin.position, -3200);
  EXPECT_EQ(view.pages[PageT].chart.axisMinimum, -3200);
  EXPECT_EQ(view.pages[PageH].upDnMin.position, -3205);
  EXPECT_EQ(view.pages[PageH].chart.axisMinimum, -3205);
}

TEST(AxisStep, AtTheTopOfBothRangesTheMinimumGivesWay) {
  ChartPageModel page;
  page.upDnMax.position = 32000;
  page.upDnMin.position = 32000;
  StepAxisMaximum(page);
  EXPECT_EQ(page.upDnMax.position, 32000);
  EXPECT_EQ(page.upDnMin.position, 31999);
  EXPECT_LT(page.chart.axisMinimum, page.chart.axisMaximum);
}

TEST(AxisStep, ClickAppliesThePositionsAgainAfterTheContactLayout) {
  RenderBench bench;
  bench.Render(42, {"2023;12;03;14;05;1;0;1;1;0;0;1;0;1;0;0;1;"});
  ChartPageModel& page = bench.view.pages[PageT];
  ClickUpDown(page.upDnMin, Down);
  StepAxisMinimum(page);
  EXPECT_EQ(page.chart.axisMinimum, 5);
  EXPECT_EQ(page.chart.axisMaximum, 40);
}

struct StepInputCase {
  const char* text;
  std::optional<int> step;
};

class ScaleStepInput : public testing::TestWithParam<StepInputCase> {};

TEST_P(ScaleStepInput, AcceptsOneToHundred) {
  EXPECT_EQ(ReadScaleStep(GetParam().text), GetParam().step) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ScaleStepInput,
    testing::Values(StepInputCase{"1", 1}, StepInputCase{"100", 100}, StepInputCase{"5", 5},
                    StepInputCase{" 7", 7}, StepInputCase{"$A", 10}, StepInputCase{"0", std::nullopt},
                    StepInputCase{"101", std::nullopt}, StepInputCase{"500", std::nullopt},
                    StepInputCase{"-5", std::nullopt}, StepInputCase{"", std::nullopt},
                    StepInputCase{"abc", std::nullopt}, StepInputCase{"2.5", std::nullopt}));

TEST(ScaleStepInput, SetsAllEightStepsAndNoPosition) {
  WindowModel view;
  EXPECT_EQ(ScaleInputPreset(view), "5");
  SetScaleStep(view, 25);
  for (const ChartPageModel& page : view.pages) {
    EXPECT_EQ(page.upDnMin.step, 25);
    EXPECT_EQ(page.upDnMax.step, 25);
    EXPECT_EQ(page.upDnMax.position, 40);
    EXPECT_EQ(page.upDnMin.position, 10);
  }
  EXPECT_EQ(view.pages[PageV].chart.axisMaximum, 1000);
  EXPECT_EQ(ScaleInputPreset(view), "25");
  EXPECT_EQ(FromWin1250(ScaleInputCaption()), "Skála növelés csökkentés mértéke");
  EXPECT_EQ(FromWin1250(ScaleInputPrompt()), "Kérem adja meg az értéket 1-100 ig ");
}

// A chart page whose chart holds the given series of values (NAN: a missing value).
ChartPageModel PageWithValues(const std::vector<std::vector<double>>& series, int step = 5) {
  ChartPageModel page;
  for (const std::vector<double>& values : series) {
    ChartSeries& shown = page.chart.series.emplace_back();
    for (double value : values) std::isnan(value) ? shown.AddNull() : shown.AddValue(value);
  }
  page.upDnMax.step = page.upDnMin.step = step;
  ApplyAxisPositions(page);
  return page;
}

struct FitCase {
  const char* name;
  std::vector<std::vector<double>> series;
  int step;
  int expectedMinimum;
  int expectedMaximum;
};

class AxisFit : public testing::TestWithParam<FitCase> {};

// Both controls move to the values' range rounded outward to the step; the axis follows.
TEST_P(AxisFit, TakesTheValuesRangeRoundedOutward) {
  const FitCase& c = GetParam();
  ChartPageModel page = PageWithValues(c.series, c.step);
  ASSERT_TRUE(FitAxisToValues(page));
  EXPECT_EQ(page.upDnMin.position, c.expectedMinimum);
  EXPECT_EQ(page.upDnMax.position, c.expectedMaximum);
  EXPECT_EQ(page.chart.axisMinimum, c.expectedMinimum);
  EXPECT_EQ(page.chart.axisMaximum, c.expectedMaximum);
}

INSTANTIATE_TEST_SUITE_P(Values, AxisFit,
                         testing::Values(FitCase{"Co2", {{412, 655.5, NAN, 1287}}, 5, 410, 1290},
                                         FitCase{"AcrossSeries", {{21.4, 22}, {-3.2, 8}}, 5, -5, 25},
                                         FitCase{"OnTheSteps", {{20, 30}}, 10, 20, 30},
                                         FitCase{"FlatLineGetsAStep", {{400, 400}}, 5, 400, 405},
                                         FitCase{"FlatBetweenSteps", {{401, 401}}, 5, 400, 405},
                                         FitCase{"ZeroStepCountsAsOne", {{2.5, 7.5}}, 0, 2, 8},
                                         FitCase{
                                             "BeyondTheControlsRanges", {{-50000, 90000}}, 5, -32000, 32000},
                                         FitCase{"AboveBothRanges", {{40000, 50000}}, 5, 31999, 32000}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AxisFit, ChartWithoutValuesStaysAsItWas) {
  ChartPageModel page = PageWithValues({{NAN, NAN}, {}});
  EXPECT_FALSE(FitAxisToValues(page));
  EXPECT_EQ(page.upDnMin.position, 10);
  EXPECT_EQ(page.upDnMax.position, 40);
}

// The status text names the visible pages that show none of their values, with the key.
TEST(AxisFit, HintNamesThePagesOffTheirAxis) {
  WindowModel view;
  view.pageCaptions = {W("Hőmérséklet"), W("Páratartalom"), "CO2", "VOC"};
  view.pages[PageT] = PageWithValues({{21.5, 55}});     // partly shown
  view.pages[PageH] = PageWithValues({{NAN}});          // nothing to show
  view.pages[PageC] = PageWithValues({{412, 1287}});    // all above
  view.pages[PageV] = PageWithValues({{-3, 5, 9.99}});  // all below
  EXPECT_EQ(FromWin1250(OffAxisHint(view, QStringLiteral("F6"))), "Skálán kívül: CO2, VOC – F6 illeszti");
  view.tabVisible[PageV] = false;
  EXPECT_EQ(FromWin1250(OffAxisHint(view, QStringLiteral("F6"))), "Skálán kívül: CO2 – F6 illeszti");
  ASSERT_TRUE(FitAxisToValues(view.pages[PageC]));
  EXPECT_EQ(OffAxisHint(view, QStringLiteral("F6")), QByteArray());
  view.pages[PageV].chart.SetAxisRange(9.99, 20);
  EXPECT_FALSE(ValuesOffAxis(view.pages[PageV].chart));
}

}  // namespace
