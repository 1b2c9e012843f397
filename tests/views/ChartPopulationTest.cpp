#include <gtest/gtest.h>

#include "ViewTestSupport.h"
#include "core/ValdError.h"
#include "support/ShownLog.h"
#include "views/ChartPopulation.h"
#include "views/PageLayouts.h"

namespace {

// The message of the error that rendering raises.
QString RenderError(RenderBench& bench, int code, std::initializer_list<const char*> lines) {
  try {
    bench.Render(code, lines);
  } catch (const ValdError& error) {
    return error.Message();
  }
  return {};
}

int PointsOnAllSeries(const WindowModel& view) {
  int count = 0;
  for (const ChartPageModel& page : view.pages) {
    for (const ChartSeries& series : page.chart.series) count += series.Count();
  }
  return count;
}

TEST(ChartPopulation, EmptyLogLeavesEmptySeriesAndTheTwoStripNumbers) {
  RenderBench bench;
  bench.Render(2, {"2023;12;03;14;05;21.5;20.0;"});
  bench.state.DeviceCode = 11;  // no layout: the strips keep what the reset wrote
  bench.state.LogRecords.Clear();
  RenderViews(bench.state, bench.view, bench.env);
  EXPECT_EQ(PointsOnAllSeries(bench.view), 0);
  EXPECT_EQ(Runs(bench.Strip(PageT)), "[000000]1: ");
  EXPECT_EQ(Runs(bench.Strip(PageH)), "[000000]2: ");
  EXPECT_TRUE(bench.Strip(PageC).Lines().isEmpty());
  EXPECT_TRUE(bench.view.summary.Lines().isEmpty());
  EXPECT_TRUE(bench.state.LineFields.IsEmpty());
}

TEST(ChartPopulation, ValuesGapsAndLabels) {
  RenderBench bench('.');
  bench.Render(2, {"2023;12;03;14;05;21.5;--;", "2023;12;03;14;10;--;19.0;"});
  const ChartSeries& first = bench.Series(PageT, 0);
  const ChartSeries& second = bench.Series(PageT, 1);
  ASSERT_EQ(first.Count(), 2);
  ASSERT_EQ(second.Count(), 2);
  EXPECT_EQ(first.Points()[0].y, 21.5);
  EXPECT_FALSE(first.Points()[0].isNull);
  EXPECT_EQ(first.Points()[0].label, "2023.12.03 14:05");
  // A gap on the labelled series still carries the line's label.
  EXPECT_TRUE(first.Points()[1].isNull);
  EXPECT_EQ(first.Points()[1].y, 0);
  EXPECT_EQ(first.Points()[1].label, "2023.12.03 14:10");
  EXPECT_TRUE(second.Points()[0].isNull);
  EXPECT_EQ(second.Points()[1].y, 19.0);
  EXPECT_TRUE(second.Points()[1].label.isEmpty());  // only the first series of a page is labelled
  EXPECT_EQ(bench.state.LineFields.Lines(),
            (QList<QByteArray>{"2023", "12", "03", "14", "10", "--", "19.0"}));
}

// A value is never refused for its decimal separator: "." and "," both read on either system, and a
// time column written otherwise than the files do is labelled as written.
TEST(ChartPopulation, EitherSeparatorIsReadOnEitherSystem) {
  for (const char system : {'.', ','}) {
    RenderBench bench(system);
    bench.Render(2, {"2023;12;03;14;05;21.5;-0,5;", "2023;12;3;14;10;7;1e1;"});
    EXPECT_EQ(bench.Series(PageT, 0).Points()[0].y, 21.5) << system;
    EXPECT_EQ(bench.Series(PageT, 1).Points()[0].y, -0.5) << system;
    EXPECT_EQ(bench.Series(PageT, 1).Points()[1].y, 10) << system;
    EXPECT_EQ(bench.Series(PageT, 0).Points()[1].label, "2023.12.3 14:10") << system;
  }
}

TEST(ChartPopulation, ValuesGoToSeriesInPageOrderAndEveryUsedPageIsLabelled) {
  RenderBench bench;
  bench.Render(50, {"2023;01;02;03;04;1;2;3;4;5;6;7;8;9;10;11;12;13;14;15;16;"});
  for (int page = 0; page < 4; ++page) {
    for (int k = 0; k < 4; ++k) {
      EXPECT_EQ(bench.Series(ChartPage(page), k).Points()[0].y, 1 + page * 4 + k) << page << " " << k;
    }
    EXPECT_EQ(bench.Series(ChartPage(page), 0).Points()[0].label, "2023.01.02 03:04");
    EXPECT_EQ(bench.Series(ChartPage(page), 4).Count(), 0);
  }
}

TEST(ChartPopulation, ContactChannelsFillTwelveSeriesInNumberOrder) {
  RenderBench bench;
  bench.Render(103, {"2023;01;02;03;04;1;0;1;1;0;0;1;0;1;0;0;1;"});
  const std::vector<double> expected = {1, 0, 1, 1, 0, 0, 1, 0, 1, 0, 0, 1};
  for (int k = 0; k < 12; ++k) EXPECT_EQ(bench.Series(PageT, k).Points()[0].y, expected[k]) << k;
}

TEST(ChartPopulation, SeriesOutsideTheNewLayoutAreEmptied) {
  RenderBench bench;
  bench.Render(10, {"2023;01;02;03;04;1;2;3;4;5;6;7;8;9;10;11;12;"});
  bench.Render(2, {"2023;01;02;03;04;1;2;", "2023;01;02;03;05;1;2;"});
  EXPECT_EQ(bench.Series(PageT, 0).Count(), 2);
  EXPECT_EQ(bench.Series(PageT, 2).Count(), 0);
  EXPECT_EQ(bench.Series(PageH, 0).Count(), 0);
}

TEST(ChartPopulation, CodeWithoutLayoutChartsNothingButSplitsEveryLine) {
  RenderBench bench;
  bench.Render(11, {"2023;01;02;03;04;1;2;", "2023;01;02;03;05;7;8;tail"});
  EXPECT_EQ(PointsOnAllSeries(bench.view), 0);
  EXPECT_EQ(bench.state.LineFields.Lines(), (QList<QByteArray>{"2023", "01", "02", "03", "05", "7", "8"}));
}

TEST(ChartPopulation, EventNameAfterTheLastSeparatorIsNoField) {
  RenderBench bench;
  bench.Render(39, {"2023;01;02;03;04;5;Extra csengetés"});
  EXPECT_EQ(bench.Series(PageT, 0).Points()[0].y, 5);
  EXPECT_EQ(bench.state.LineFields.Count(), 6);
}

TEST(ChartPopulation, EnergyMeterChartsTenthsAndKeepsRawExtremes) {
  SharedState state;
  WindowModel view;
  state.DeviceCode = 55;
  AddShownLine(state, "2023;01;02;03;04;2305;--;10;2300;2310;2290;50;--;51;");
  AddShownLine(state, "2023;01;02;03;05;1200;--;20;2320;2300;2280;40;--;49;");
  ChannelExtremes extremes;
  PopulateCharts(state, view, '.', extremes);
  EXPECT_EQ(view.pages[PageT].chart.series[0].Points()[0].y, 230.5);
  EXPECT_EQ(extremes[0].largest, 2305);
  EXPECT_EQ(extremes[0].smallest, 1200);
  EXPECT_TRUE(extremes[0].seen);
  // A channel without values keeps zeros and shows only gaps.
  EXPECT_FALSE(extremes[1].seen);
  EXPECT_EQ(extremes[1].largest, 0);
  EXPECT_EQ(extremes[1].smallest, 0);
  EXPECT_TRUE(view.pages[PageT].chart.series[1].Points()[1].isNull);
  EXPECT_EQ(extremes[3].smallest, 2300);
  EXPECT_EQ(extremes[8].largest, 51);
  EXPECT_EQ(view.pages[PageC].chart.series[2].Points()[1].y, 4.9);
}

TEST(ChartPopulation, ExtremesStartAfreshOnEveryCall) {
  SharedState state;
  WindowModel view;
  state.DeviceCode = 55;
  AddShownLine(state, "2023;01;02;03;04;9000;1;1;1;1;1;1;1;1;");
  ChannelExtremes extremes;
  PopulateCharts(state, view, '.', extremes);
  state.LogRecords.Clear();
  AddShownLine(state, "2023;01;02;03;04;5;1;1;1;1;1;1;1;1;");
  PopulateCharts(state, view, '.', extremes);
  EXPECT_EQ(extremes[0].largest, 5);
}

struct FailureCase {
  const char* name;
  char separator;
  int code;
  const char* badLine;
  const char* message;
  int pointsOnFirstSeries;   // points of Series_T1 after the failure
  int pointsOnSecondSeries;  // points of Series_T2
  int lineFields;            // fields of the failing line kept in LineFields
};

class ChartPopulationFailure : public testing::TestWithParam<FailureCase> {};

// The first line renders; the second fails. What was charted before the failing column stays, the
// failing line gets no label and the page setup does not run.
TEST_P(ChartPopulationFailure, StopsAtTheFailingColumn) {
  const FailureCase& c = GetParam();
  RenderBench bench(c.separator);
  bench.view.tabWidth = 77;
  EXPECT_EQ(RenderError(bench, c.code, {"2023;12;03;14;00;--;--;", c.badLine}), QString::fromUtf8(c.message));
  EXPECT_EQ(bench.Series(PageT, 0).Count(), c.pointsOnFirstSeries);
  EXPECT_EQ(bench.Series(PageT, 1).Count(), c.pointsOnSecondSeries);
  if (c.pointsOnFirstSeries == 2) {
    EXPECT_TRUE(bench.Series(PageT, 0).Points()[1].label.isEmpty());
  }
  EXPECT_EQ(bench.state.LineFields.Count(), c.lineFields);
  EXPECT_EQ(bench.view.tabWidth, 77);
  EXPECT_EQ(Runs(bench.Strip(PageT)), "[000000]1: ");
  EXPECT_EQ(bench.view.gaugeCaption, "--");
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ChartPopulationFailure,
    testing::Values(FailureCase{"SecondColumnBad", '.', 2, "2023;12;03;14;05;21.5;x;",
                                "'x' is not a valid floating point value", 2, 1, 7},
                    FailureCase{"EmptyColumn", '.', 2, "2023;12;03;14;05;;--;",
                                "'' is not a valid floating point value", 1, 1, 7},
                    FailureCase{"EmptyLine", '.', 2, "", "List index out of bounds (5)", 1, 1, 0},
                    FailureCase{"LastValueWithoutSeparator", '.', 2, "2023;12;03;14;05;21.5;22.0",
                                "List index out of bounds (6)", 2, 1, 6}),
    [](const auto& info) { return std::string(info.param.name); });

// The series each page family fills, pinned by one code of each family: the temperature and humidity
// family fills its n and m; a code without a page layout charts nothing.
TEST(Layouts, ChartChannelsFollowThePageFamily) {
  struct ChannelCase {
    int code;
    std::array<int, 4> channels;
  };
  constexpr ChannelCase cases[] = {
      {2, {2, 0, 0, 0}},  {4, {2, 1, 0, 0}},   {10, {6, 6, 0, 0}}, {14, {2, 0, 0, 0}},  {18, {3, 0, 0, 0}},
      {31, {2, 0, 0, 0}}, {39, {1, 0, 0, 0}},  {47, {1, 0, 0, 0}}, {42, {12, 0, 0, 0}}, {102, {1, 0, 0, 0}},
      {43, {1, 1, 1, 1}}, {106, {4, 4, 4, 0}}, {50, {4, 4, 4, 4}}, {55, {3, 3, 3, 0}},  {56, {1, 1, 1, 0}},
  };
  for (const ChannelCase& c : cases) {
    const std::optional<PageLayout> layout = LookUpPageLayout(c.code);
    ASSERT_TRUE(layout) << c.code;
    EXPECT_EQ(ChartChannels(*layout), c.channels) << c.code;
  }
  for (const int code : {11, 20, 101}) EXPECT_FALSE(LookUpPageLayout(code)) << code;
}

}  // namespace
