#include <gtest/gtest.h>

#include "ViewTestSupport.h"
#include "support/ShownLog.h"

namespace {

using Lines = std::vector<std::string>;

std::array<bool, 4> ChartTabs(const WindowModel& view) {
  return {view.tabVisible[0], view.tabVisible[1], view.tabVisible[2], view.tabVisible[3]};
}

std::array<QString, 4> Captions(const WindowModel& view) {
  std::array<QString, 4> captions;
  for (int page = 0; page < 4; ++page) captions[page] = FromWin1250(view.pageCaptions[page]);
  return captions;
}

TEST(TemperatureHumidityLayout, AgateWorkedExample) {
  RenderBench bench('.');
  bench.Render(2,
               {"2023;12;03;14;00;18.24;19;", "2023;12;03;14;05;23.9;24.44;", "2023;12;03;14;10;21.5;22.0;"});
  EXPECT_EQ(Runs(bench.Strip(PageT)),
            "[000000]Utoljára mért hőmérséklet adatok: [FF0000]21.5°C [0000FF]22.0°C ");
  EXPECT_EQ(Runs(bench.Strip(PageH)), "[000000]Utoljára mért páratartalom adatok: ");
  EXPECT_EQ(bench.Summary(),
            (Lines{"[000000]Hőmérséklet:", "[FF0000]Min/Max: 18.2/23.9°C", "[0000FF]Min/Max: 19.0/24.4°C"}));
  EXPECT_EQ(bench.view.tabWidth, 100);
  EXPECT_EQ(ChartTabs(bench.view), (std::array<bool, 4>{true, false, false, false}));
  EXPECT_EQ(Captions(bench.view),
            (std::array<QString, 4>{"Hőmérséklet", "Páratartalom", "Graph3", "Graph4"}));
  EXPECT_TRUE(bench.Strip(PageC).Lines().isEmpty());
}

TEST(TemperatureHumidityLayout, UnderCommaSeparatorTheNumbersTakeTheComma) {
  RenderBench bench(',');
  bench.Render(8, {"2023;12;03;14;00;-3,14;45,55;"});
  EXPECT_EQ(Runs(bench.Strip(PageT)), "[000000]Utoljára mért hőmérséklet adatok: [FF0000]-3,14°C ");
  EXPECT_EQ(bench.Summary(), (Lines{"[000000]Hőmérséklet:", "[FF0000]Min/Max: -03,1/-03,1°C", "",
                                    "[000000]Páratartalom:", "[FF0000]Min/Max: 45,6/45,6%"}));
}

struct FamilyCase {
  int code;
  int temperatures;
  int humidities;
};

class TemperatureHumidityFamily : public testing::TestWithParam<FamilyCase> {};

// One line whose value in column 5 + i is i + 1: strips, summary groups and the second page follow n
// and m, and the humidity channels start again at red.
TEST_P(TemperatureHumidityFamily, ChannelsFollowNAndM) {
  const auto [code, n, m] = GetParam();
  QByteArray line = "2023;12;03;14;05;";
  for (int i = 0; i < n + m; ++i) line += QByteArray::number(i + 1) + ";";
  RenderBench bench;
  bench.Render(code, {line.constData()});
  const std::array<const char*, 6> palette = {"FF0000", "0000FF", "008000", "000000", "808000", "800080"};
  std::string strip = "[000000]Utoljára mért hőmérséklet adatok: ";
  Lines summary = {"[000000]Hőmérséklet:"};
  for (int k = 0; k < n; ++k) {
    strip += "[" + std::string(palette[k]) + "]" + std::to_string(k + 1) + "°C ";
    char minMax[64];
    std::snprintf(minMax, sizeof minMax, "[%s]Min/Max: %02d.0/%02d.0°C", palette[k], k + 1, k + 1);
    summary.push_back(minMax);
  }
  EXPECT_EQ(Runs(bench.Strip(PageT)), strip);
  strip = "[000000]Utoljára mért páratartalom adatok: ";
  if (m > 0) summary.insert(summary.end(), {"", "[000000]Páratartalom:"});
  for (int k = 0; k < m; ++k) {
    strip += "[" + std::string(palette[k]) + "]" + std::to_string(n + k + 1) + "% ";
    char minMax[64];
    std::snprintf(minMax, sizeof minMax, "[%s]Min/Max: %02d.0/%02d.0%%", palette[k], n + k + 1, n + k + 1);
    summary.push_back(minMax);
  }
  EXPECT_EQ(Runs(bench.Strip(PageH)), strip);
  EXPECT_EQ(bench.Summary(), summary);
  EXPECT_EQ(ChartTabs(bench.view), (std::array<bool, 4>{true, m > 0, false, false}));
}

INSTANTIATE_TEST_SUITE_P(Codes, TemperatureHumidityFamily,
                         testing::Values(FamilyCase{2, 2, 0}, FamilyCase{3, 4, 0}, FamilyCase{4, 2, 1},
                                         FamilyCase{26, 4, 4}, FamilyCase{8, 1, 1}, FamilyCase{23, 6, 0},
                                         FamilyCase{27, 6, 6}, FamilyCase{52, 1, 0}, FamilyCase{19, 2, 2}),
                         [](const auto& info) { return "Code" + std::to_string(info.param.code); });

TEST(TemperatureHumidityLayout, HumidityPageComesAndGoesWithTheDevice) {
  RenderBench bench;
  bench.Render(2, {"2023;12;03;14;05;21.5;22.0;"});
  bench.Render(4, {"2023;12;03;14;05;21.5;22.0;55.0;"});
  EXPECT_TRUE(bench.view.tabVisible[1]);
  EXPECT_EQ(bench.Summary().at(3), "");
  EXPECT_EQ(bench.Summary().at(4), "[000000]Páratartalom:");
  EXPECT_EQ(bench.Summary().at(5), "[FF0000]Min/Max: 55.0/55.0%");
  bench.Render(2, {"2023;12;03;14;05;21.5;22.0;"});
  EXPECT_FALSE(bench.view.tabVisible[1]);
  EXPECT_EQ(bench.Summary().size(), 3u);
}

// A gap is shown as written and left out of the minimum and maximum; a channel of gaps alone shows 0/0.
TEST(TemperatureHumidityLayout, GapsShowAsWrittenAndStayOutOfMinMax) {
  RenderBench bench;
  bench.Render(2, {"2023;12;03;14;00;21.5;--;", "2023;12;03;14;05;22.0;--;", "2023;12;03;14;10;--;--;"});
  EXPECT_EQ(Runs(bench.Strip(PageT)), "[000000]Utoljára mért hőmérséklet adatok: [FF0000]--°C [0000FF]--°C ");
  EXPECT_EQ(bench.Summary().at(1), "[FF0000]Min/Max: 21.5/22.0°C");
  EXPECT_EQ(bench.Summary().at(2), "[0000FF]Min/Max: 00.0/00.0°C");
}

TEST(TemperatureHumidityLayout, EmptyLogShowsHeadersAndZeros) {
  RenderBench bench;
  bench.state.ChipCode = 1;
  bench.state.RecordLength = 10;
  bench.Render(2, {});
  EXPECT_EQ(Runs(bench.Strip(PageT)), "[000000]Utoljára mért hőmérséklet adatok: ");
  EXPECT_EQ(Runs(bench.Strip(PageH)), "[000000]Utoljára mért páratartalom adatok: ");
  EXPECT_EQ(bench.Summary(),
            (Lines{"[000000]Hőmérséklet:", "[FF0000]Min/Max: 00.0/00.0°C", "[0000FF]Min/Max: 00.0/00.0°C"}));
  EXPECT_EQ(bench.view.gaugeCaption, "0/1631");
  EXPECT_EQ(bench.view.progressMaximum, 1632);
  EXPECT_EQ(bench.view.progressPosition, 0);
}

TEST(IlluminationAndCurrentLayouts, AreTheTemperatureLayoutWithTheirOwnTexts) {
  RenderBench bench;
  bench.Render(36, {"2023;12;03;14;00;5.2;123.6;", "2023;12;03;14;05;300;--;"});
  EXPECT_EQ(Captions(bench.view)[0], "Megvilágítás");
  EXPECT_EQ(Captions(bench.view)[1], "Páratartalom");
  EXPECT_EQ(ChartTabs(bench.view), (std::array<bool, 4>{true, false, false, false}));
  EXPECT_EQ(Runs(bench.Strip(PageT)),
            "[000000]Utoljára mért megvilágítás adatok: [FF0000]300 lux [0000FF]-- lux ");
  EXPECT_EQ(Runs(bench.Strip(PageH)), "[000000]Utoljára mért páratartalom adatok: ");
  EXPECT_EQ(bench.Summary(),
            (Lines{"[000000]Megvilágítás:", "[FF0000]Min/Max: 05/300 lux", "[0000FF]Min/Max: 124/124 lux"}));

  bench.Render(18, {"2023;12;03;14;05;1.5;2.5;3.5;"});
  EXPECT_EQ(Captions(bench.view)[0], "áramerősség");
  EXPECT_EQ(Runs(bench.Strip(PageT)),
            "[000000]Utoljára mért áramerősség adatok: [FF0000]1.5mA [0000FF]2.5mA [008000]3.5mA ");
  EXPECT_EQ(bench.Summary(), (Lines{"[000000]Áramerősség:", "[FF0000]Min/Max: 01.5/01.5mA",
                                    "[0000FF]Min/Max: 02.5/02.5mA", "[008000]Min/Max: 03.5/03.5mA"}));
}

struct LegendCase {
  int code;
  Lines summary;
};

class EventLegendLayout : public testing::TestWithParam<LegendCase> {};

TEST_P(EventLegendLayout, ShowsTheLegendOfTheEventValues) {
  RenderBench bench;
  bench.Render(GetParam().code, {"2023;12;03;14;05;1;0;"});
  EXPECT_EQ(bench.Summary(), GetParam().summary);
  EXPECT_TRUE(bench.Strip(PageT).Lines().isEmpty());
  EXPECT_EQ(Runs(bench.Strip(PageH)), "[000000]Utoljára mért páratartalom adatok: ");
  EXPECT_EQ(Captions(bench.view)[0], "Események");
  EXPECT_EQ(Captions(bench.view)[1], "Páratartalom");
  EXPECT_EQ(ChartTabs(bench.view), (std::array<bool, 4>{true, false, false, false}));
  // The legend lines of one device have one length, so that they line up in the fixed-pitch box.
  const QList<QList<TextRun>>& lines = bench.view.summary.Lines();
  for (int i = 2; i < lines.size(); ++i) EXPECT_EQ(lines[i][0].text.size(), lines[1][0].text.size()) << i;
}

const Lines BellLegend = {"[000000]Esemény/érték:", "[0000FF] 5 = extra     csengetés",
                          "[0000FF]10 = auto      csengetés", "[0000FF]15 = kézi      csengetés",
                          "[0000FF]20 = napi         törlés"};

INSTANTIATE_TEST_SUITE_P(
    Codes, EventLegendLayout,
    testing::Values(LegendCase{31,
                               {"[000000]Esemény/érték:", "[FF0000]0 = Relay1      OFF",
                                "[FF0000]1 = Relay1       ON", "[0000FF]2 = Relay2      OFF",
                                "[0000FF]3 = Relay2       ON"}},
                    LegendCase{39, BellLegend}, LegendCase{40, BellLegend}, LegendCase{41, BellLegend},
                    LegendCase{46, BellLegend},
                    LegendCase{47,
                               {"[000000]Esemény/érték:", "[0000FF] 5 = extra     csengetés",
                                "[0000FF]10 = auto      csengetés", "[0000FF]15 = kézi      csengetés",
                                "[0000FF]20 = kontaktus csengetés", "[0000FF]25 = napi         törlés"}}),
    [](const auto& info) { return "Code" + std::to_string(info.param.code); });

TEST(ContactLayout, FixesTheAxisAndLeavesTheTextsEmpty) {
  RenderBench bench;
  bench.view.pages[PageT].chart.SetAxisRange(-20, -10);  // the range is reached from below 1 as well
  bench.Render(42, {"2023;12;03;14;05;1;0;1;1;0;0;1;0;1;0;0;1;"});
  EXPECT_EQ(bench.view.pages[PageT].chart.axisMinimum, 1);
  EXPECT_EQ(bench.view.pages[PageT].chart.axisMaximum, 12);
  EXPECT_TRUE(bench.Strip(PageT).Lines().isEmpty());
  EXPECT_EQ(Runs(bench.Strip(PageH)), "[000000]2: ");
  EXPECT_TRUE(bench.view.summary.Lines().isEmpty());
  EXPECT_EQ(Captions(bench.view)[0], "Kontaktus");
  EXPECT_EQ(ChartTabs(bench.view), (std::array<bool, 4>{true, false, false, false}));
  // A later temperature log keeps the range until the scale is changed.
  bench.Render(2, {"2023;12;03;14;05;21.5;22.0;"});
  EXPECT_EQ(bench.view.pages[PageT].chart.axisMinimum, 1);
  EXPECT_EQ(bench.view.pages[PageT].chart.axisMaximum, 12);
}

struct ControlCase {
  const char* line;
  const char* strip;
};

class ControlEventLayout : public testing::TestWithParam<ControlCase> {};

TEST_P(ControlEventLayout, NamesTheLastEventByItsFirstCharacter) {
  RenderBench bench;
  if (*GetParam().line) {
    bench.Render(102, {GetParam().line});
  } else {
    bench.Render(102, {});
  }
  EXPECT_EQ(Runs(bench.Strip(PageT)), std::string("[000000]Utolsó vezérlési esemény: ") + GetParam().strip);
  EXPECT_EQ(Runs(bench.Strip(PageH)), "[000000]Utoljára mért páratartalom adatok: ");
  EXPECT_TRUE(bench.view.summary.Lines().isEmpty());
  EXPECT_EQ(Captions(bench.view)[0], "Vezérlés");
}

INSTANTIATE_TEST_SUITE_P(
    Events, ControlEventLayout,
    testing::Values(ControlCase{"2023;12;03;14;05;0;", "[FF0000]Kikapcsolás"},
                    ControlCase{"2023;12;03;14;05;1;", "[FF0000]Automatikus bekapcsolás"},
                    ControlCase{"2023;12;03;14;05;2;", "[FF0000]Kézi bekapcsolás"},
                    ControlCase{"2023;12;03;14;05;3;", "[FF0000]Nap törlés"},
                    ControlCase{"2023;12;03;14;05;4;", "[FF0000]Reset"},
                    ControlCase{"2023;12;03;14;05;7;", "[FF0000]Ismeretlen"},
                    ControlCase{"2023;12;03;14;05;12;", "[FF0000]Automatikus bekapcsolás"},
                    ControlCase{"2023;12;03;14;05;--;", "[FF0000]Ismeretlen"}, ControlCase{"", ""}));

TEST(ClimateLayout, OneChannelPerPageInItsOwnColour) {
  RenderBench bench;
  bench.Render(104, {"2023;12;03;14;00;20.5;40;400;100;", "2023;12;03;14;05;21.5;45;800;120;"});
  EXPECT_EQ(ChartTabs(bench.view), (std::array<bool, 4>{true, true, true, true}));
  EXPECT_EQ(Captions(bench.view), (std::array<QString, 4>{"Hőmérséklet", "Páratartalom", "CO2", "VOC"}));
  EXPECT_EQ(Runs(bench.Strip(PageT)), "[000000]Utoljára mért hőmérséklet adat: [FF0000]21.5°C ");
  EXPECT_EQ(Runs(bench.Strip(PageH)), "[000000]Utoljára mért páratartalom adat: [0000FF]45% ");
  EXPECT_EQ(Runs(bench.Strip(PageC)), "[000000]Utoljára mért CO2 adat: [008000]800ppm ");
  EXPECT_EQ(Runs(bench.Strip(PageV)), "[000000]Utoljára mért VOC adat: [800080]120ppb ");
  EXPECT_EQ(bench.Summary(), (Lines{"[000000]Hőmérséklet:", "[FF0000]Min/Max: 20.5/21.5°C", "",
                                    "[000000]Páratartalom:", "[0000FF]Min/Max: 40.0/45.0%", "",
                                    "[000000]CO2:", "[008000]Min/Max: 400.0/800.0ppm", "",
                                    "[000000]VOC:", "[800080]Min/Max: 100.0/120.0ppv"}));
  EXPECT_EQ(bench.Series(PageT, 0).Colour(), Colour::Red);
  EXPECT_EQ(bench.Series(PageH, 0).Colour(), Colour::Blue);
  EXPECT_EQ(bench.Series(PageC, 0).Colour(), Colour::Green);
  EXPECT_EQ(bench.Series(PageV, 0).Colour(), Colour::Purple);
}

TEST(TwoHumidityLayout, WideTabsAndThreeGroups) {
  RenderBench bench;
  bench.view.pageCaptions[3] = "Earlier";
  bench.Render(45, {"2023;12;03;14;05;1;2;3;4;5;6;7;8;9;10;11;12;"});
  EXPECT_EQ(bench.view.tabWidth, 160);
  EXPECT_EQ(ChartTabs(bench.view), (std::array<bool, 4>{true, true, true, false}));
  EXPECT_EQ(Captions(bench.view), (std::array<QString, 4>{"Hőmérséklet", "Relatív páratartalom",
                                                          "Abszolút páratartalom", "Earlier"}));
  EXPECT_EQ(
      Runs(bench.Strip(PageC)),
      "[000000]Utoljára mért abszolút páratartalom adatok: [FF0000]9% [0000FF]10% [008000]11% [000000]12% ");
  const Lines summary = bench.Summary();
  ASSERT_EQ(summary.size(), 17u);
  EXPECT_EQ(summary[5], "");
  EXPECT_EQ(summary[6], "[000000]Rel. páratartalom:");
  EXPECT_EQ(summary[10], "[000000]Min/Max: 08.0/08.0%");
  EXPECT_EQ(summary[12], "[000000]Abs. páratartalom:");
  EXPECT_EQ(summary[13], "[FF0000]Min/Max: 09.0/09.0%");
}

TEST(ParticulateLayout, SensorLabelsOnTheStripsAndOnTheFirstGroup) {
  RenderBench bench;
  bench.Render(50, {"2023;12;03;14;05;1;2;3;4;5;6;7;8;9;10;11;12;13;14;15;--;"});
  EXPECT_EQ(bench.view.tabWidth, 250);
  EXPECT_EQ(ChartTabs(bench.view), (std::array<bool, 4>{true, true, true, true}));
  EXPECT_EQ(Captions(bench.view)[3], "Mass Concentration PM10.0 µg/m3");
  EXPECT_EQ(Runs(bench.Strip(PageT)),
            "[000000]Utoljára mért PM1.0 adatok: [FF0000]S1:1µg/m3 [0000FF]S2:2µg/m3 [008000]S3:3µg/m3 "
            "[000000]S4:4µg/m3 ");
  EXPECT_EQ(Runs(bench.Strip(PageV)),
            "[000000]Utoljára mért PM10.0 adatok: [FF0000]S1:13µg/m3 [0000FF]S2:14µg/m3 [008000]S3:15µg/m3 "
            "[000000]S4:--µg/m3 ");
  EXPECT_EQ(
      bench.Summary(),
      (Lines{"[000000]Min/Max Mass C. PM1.0:",  "[FF0000]S1:01.0/01.0 µg/m3", "[0000FF]S2:02.0/02.0 µg/m3",
             "[008000]S3:03.0/03.0 µg/m3",      "[000000]S4:04.0/04.0 µg/m3", "",
             "[000000]Min/Max Mass C. PM2.5:",  "[FF0000]05.0/05.0 µg/m3",    "[0000FF]06.0/06.0 µg/m3",
             "[008000]07.0/07.0 µg/m3",         "[000000]08.0/08.0 µg/m3",    "",
             "[000000]Min/Max Mass C. PM4.0:",  "[FF0000]09.0/09.0 µg/m3",    "[0000FF]10.0/10.0 µg/m3",
             "[008000]11.0/11.0 µg/m3",         "[000000]12.0/12.0 µg/m3",    "",
             "[000000]Min/Max Mass C. PM10.0:", "[FF0000]13.0/13.0 µg/m3",    "[0000FF]14.0/14.0 µg/m3",
             "[008000]15.0/15.0 µg/m3",         "[000000]00.0/00.0 µg/m3"}));
}

TEST(EnergyMeterLayout, TenthsInTheStripsAndRawExtremesInTheSummary) {
  RenderBench bench;
  bench.Render(55, {"2023;12;03;14;00;1500;2300;--;50;100;7;--;9;9;",
                    "2023;12;03;14;05;1234;0;57;2310;2290;2300;--;12;8;"});
  EXPECT_EQ(Runs(bench.Strip(PageT)),
            "[000000]Utoljára mért teljesítmény adatok: [000000]123.4kW [808080]0kW [800000]5.7kW ");
  EXPECT_EQ(Runs(bench.Strip(PageC)),
            "[000000]Utoljára mért áramerősség adatok: [000000]--A [808080]1.2A [800000]0.8A ");
  EXPECT_EQ(bench.Summary(),
            (Lines{"[000000]Teljesítmény:", "[000000]Min/Max: 123.4/150.0 kW",
                   "[808080]Min/Max: 0.0/230.0 kW", "[800000]Min/Max: 5.7/5.7 kW", "",
                   "[000000]Feszültség:", "[000000]Min/Max: 5.0/231.0 V", "[808080]Min/Max: 10.0/229.0 V",
                   "[800000]Min/Max: 0.7/230.0 V", "", "[000000]Áramerősség:", "[000000]Min/Max: 0.0/0.0 A",
                   "[808080]Min/Max: 0.9/1.2 A", "[800000]Min/Max: 0.8/0.9 A"}));
  EXPECT_EQ(Captions(bench.view),
            (std::array<QString, 4>{"Teljesítmény", "Feszültség", "Áramerősség", "Graph4"}));
  EXPECT_EQ(ChartTabs(bench.view), (std::array<bool, 4>{true, true, true, false}));
}

TEST(EnergyMeterLayout, EmptyLogShowsZeroExtremes) {
  RenderBench bench;
  bench.Render(55, {});
  EXPECT_EQ(bench.Summary().at(1), "[000000]Min/Max: 0.0/0.0 kW");
  EXPECT_EQ(Runs(bench.Strip(PageH)), "[000000]Utoljára mért feszültség adatok: ");
}

TEST(EnergyMeterLayout, SeriesColoursStayForTheNextLog) {
  RenderBench bench;
  bench.Render(55, {"2023;12;03;14;05;1;2;3;4;5;6;7;8;9;"});
  bench.Render(2, {"2023;12;03;14;05;21.5;22.0;"});
  EXPECT_EQ(bench.Series(PageT, 0).Colour(), Colour::Black);
  EXPECT_EQ(bench.Series(PageT, 1).Colour(), Colour::Gray);
  EXPECT_EQ(bench.Series(PageC, 2).Colour(), Colour::Maroon);
  EXPECT_EQ(Runs(bench.Strip(PageT)),
            "[000000]Utoljára mért hőmérséklet adatok: [FF0000]21.5°C [0000FF]22.0°C ");
}

TEST(HubMonitorLayout, HeadingsInTheColourOfTheirLineWithoutEmptyLines) {
  RenderBench bench;
  bench.Render(56, {"2023;12;03;14;05;21.5;45.0;12.1;"});
  EXPECT_EQ(Runs(bench.Strip(PageT)), "[000000]Utoljára mért hőmérséklet adatok: [FF0000]21.5C ");
  EXPECT_EQ(Runs(bench.Strip(PageC)), "[000000]Utoljára mért feszültség adatok: [008000]12.1V ");
  EXPECT_EQ(bench.Summary(), (Lines{"[FF0000]Hőmérséklet:", "[FF0000]Min/Max: 21.5/21.5C",
                                    "[0000FF]Páratartalom:", "[0000FF]Min/Max: 45.0/45.0%",
                                    "[008000]Feszültség:", "[008000]Min/Max: 12.1/12.1V"}));
  EXPECT_EQ(Captions(bench.view),
            (std::array<QString, 4>{"Hőmérséklet", "Páratartalom", "Feszültség", "Graph4"}));
}

TEST(PageLayouts, CaptionsOfPagesThreeAndFourStayUntilALayoutNamesThem) {
  RenderBench bench;
  bench.Render(43, {"2023;12;03;14;05;21.5;45;800;120;"});
  bench.Render(2, {"2023;12;03;14;05;21.5;22.0;"});
  EXPECT_EQ(Captions(bench.view), (std::array<QString, 4>{"Hőmérséklet", "Páratartalom", "CO2", "VOC"}));
  EXPECT_EQ(ChartTabs(bench.view), (std::array<bool, 4>{true, false, false, false}));
  bench.Render(55, {});
  EXPECT_EQ(Captions(bench.view)[3], "VOC");
  EXPECT_EQ(Captions(bench.view)[2], "Áramerősség");
}

TEST(PageLayouts, CodeWithoutLayoutChangesOnlyTheGauge) {
  RenderBench bench;
  bench.Render(45, {"2023;12;03;14;05;1;2;3;4;5;6;7;8;9;10;11;12;"});
  bench.state.ChipCode = 2;
  bench.state.RecordLength = 10;
  bench.Render(11, {"2023;12;03;14;05;1;2;"});
  EXPECT_EQ(bench.view.tabWidth, 160);
  EXPECT_EQ(Captions(bench.view)[1], "Relatív páratartalom");
  EXPECT_EQ(Runs(bench.Strip(PageT)), "[000000]1: ");
  EXPECT_EQ(Runs(bench.Strip(PageH)), "[000000]2: ");
  EXPECT_TRUE(bench.Strip(PageC).Lines().isEmpty());
  EXPECT_TRUE(bench.view.summary.Lines().isEmpty());
  EXPECT_EQ(bench.view.gaugeCaption, "1/4901");
}

struct GaugeCase {
  const char* name;
  int chipCode;
  int recordLength;
  int lines;
  const char* caption;
  int maximum;
};

class FillGauge : public testing::TestWithParam<GaugeCase> {};

TEST_P(FillGauge, CountsLinesAgainstTheChipCapacity) {
  const GaugeCase& c = GetParam();
  RenderBench bench;
  bench.state.ChipCode = c.chipCode;
  bench.state.RecordLength = c.recordLength;
  bench.state.DeviceCode = 2;
  for (int i = 0; i < c.lines; ++i) AddShownLine(bench.state, "2023;12;03;14;05;21.5;22.0;");
  RenderViews(bench.state, bench.view, bench.env);
  EXPECT_EQ(bench.view.gaugeCaption, c.caption);
  EXPECT_EQ(bench.view.progressMaximum, c.maximum);
  EXPECT_EQ(bench.view.progressPosition, c.lines);
}

INSTANTIATE_TEST_SUITE_P(Chips, FillGauge,
                         testing::Values(GaugeCase{"Agate25LC254", 1, 10, 523, "523/1631", 1632},
                                         GaugeCase{"Basalt25LC512", 2, 14, 7, "7/3500", 3501},
                                         GaugeCase{"EmptyLog", 1, 10, 0, "0/1631", 1632},
                                         GaugeCase{"TopazOpened", 1, 8, 3, "3/2039", 2040},
                                         GaugeCase{"NoReadoutYet", 0, 10, 4, "--", 100},
                                         GaugeCase{"UnknownChip", 7, 10, 4, "--", 100},
                                         GaugeCase{"NoRecordLength", 1, 0, 4, "--", 100}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
