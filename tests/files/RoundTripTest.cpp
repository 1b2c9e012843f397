#include <gtest/gtest.h>

#include "SimulatedReadout.h"
#include "operations/FileOpen.h"
#include "support/ShownLog.h"
#include "support/TempFolder.h"

namespace {

const QDateTime ReadoutTime(QDate(2023, 12, 3), QTime(14, 5));

QByteArray SeriesText(const ChartSeries& series) {
  QByteArray text = "colour " + QByteArray::number(series.Colour(), 16) + '\n';
  for (const ChartPoint& point : series.Points()) {
    text += QByteArray::number(point.y, 'g', 17) + ' ' + point.label + (point.isNull ? " null\n" : "\n");
  }
  return text;
}

QByteArray RichTextRuns(const RichText& box) {
  QByteArray text;
  for (const QList<TextRun>& line : box.Lines()) {
    for (const TextRun& run : line) text += '[' + QByteArray::number(run.colour, 16) + ']' + run.text;
    text += '\n';
  }
  return text;
}

// Everything an open draws the same way a readout does: the gauge, which reads the chip of the last
// readout and the open table's RecordLength, is checked on its own.
void ExpectSameViews(const WindowModel& opened, const WindowModel& readout) {
  EXPECT_EQ(opened.labelDevice, readout.labelDevice);
  EXPECT_EQ(opened.memo2, readout.memo2);
  EXPECT_EQ(RichTextRuns(opened.summary), RichTextRuns(readout.summary));
  EXPECT_EQ(opened.tabWidth, readout.tabWidth);
  EXPECT_EQ(opened.tabVisible, readout.tabVisible);
  EXPECT_EQ(opened.pageCaptions, readout.pageCaptions);
  for (int page = 0; page < 4; ++page) {
    const ChartPageModel& o = opened.pages[page];
    const ChartPageModel& r = readout.pages[page];
    EXPECT_EQ(RichTextRuns(o.strip), RichTextRuns(r.strip)) << "page " << page;
    EXPECT_EQ(o.chart.axisMinimum, r.chart.axisMinimum) << "page " << page;
    EXPECT_EQ(o.chart.axisMaximum, r.chart.axisMaximum) << "page " << page;
    ASSERT_EQ(o.chart.series.size(), r.chart.series.size());
    for (size_t i = 0; i < r.chart.series.size(); ++i) {
      EXPECT_EQ(SeriesText(o.chart.series[i]), SeriesText(r.chart.series[i]))
          << "page " << page << " series " << i;
    }
  }
}

struct RoundTripCase {
  const char* label;
  int deviceCode;
  char separator;
};

class RoundTrip : public testing::TestWithParam<RoundTripCase> {};

TEST_P(RoundTrip, OpeningTheAutomaticFileRedrawsTheReadout) {
  const RoundTripCase& c = GetParam();
  TempFolder folder;
  const SimulatedReadout readout =
      ReadSimulatedDevice(FixedSimulatorConfig(c.deviceCode, 300), c.separator, folder.Path(), ReadoutTime);
  ASSERT_TRUE(readout.report.deviceFound());
  ASSERT_TRUE(readout.report.blocksWithoutReply.isEmpty());
  ASSERT_GT(readout.state.LogRecords.Count(), 250);
  EXPECT_EQ(folder.Read(QFileInfo(readout.report.measurementFile).fileName()),
            ShownLines(readout.state, c.separator).Text());

  SharedState state;
  WindowModel view;
  OpenMeasurementFile(state, view, TestEnvironment(folder.Path(), c.separator, ReadoutTime),
                      readout.report.measurementFile);
  EXPECT_EQ(state.DeviceCode, c.deviceCode);
  EXPECT_EQ(ShownLines(state, c.separator), ShownLines(readout.state, c.separator));
  EXPECT_EQ(state.LineFields, readout.state.LineFields);
  ExpectSameViews(view, readout.view);
}

// Codes that the second detection pass gives back unchanged: temperature, climate, energy meter,
// particulate matter and bell events, under both decimal separators.
INSTANTIATE_TEST_SUITE_P(Devices, RoundTrip,
                         testing::Values(RoundTripCase{"AgateDot", 21, '.'},
                                         RoundTripCase{"AgateComma", 21, ','},
                                         RoundTripCase{"TopazDot", 43, '.'},
                                         RoundTripCase{"TopazComma", 43, ','},
                                         RoundTripCase{"Jadeite", 55, ','}, RoundTripCase{"Emerald", 50, '.'},
                                         RoundTripCase{"Xenotime", 46, ','}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(RoundTrip, ClimateFileOpenedAfterItsReadoutGaugesShortRecords) {
  TempFolder folder;
  SimulatedReadout readout =
      ReadSimulatedDevice(FixedSimulatorConfig(43, 300), '.', folder.Path(), ReadoutTime);
  const QByteArray lineCount = QByteArray::number(readout.state.LogRecords.Count());
  // 16320 bytes of a 25LC254 hold 1165 records of 14 bytes, but 2040 of the 8 bytes an open sets.
  EXPECT_EQ(readout.view.gaugeCaption, lineCount + "/1164");
  OpenMeasurementFile(readout.state, readout.view, TestEnvironment(folder.Path(), '.', ReadoutTime),
                      readout.report.measurementFile);
  EXPECT_EQ(readout.state.RecordLength, 8);
  EXPECT_EQ(readout.state.ChipCode, 1);
  EXPECT_EQ(readout.view.gaugeCaption, lineCount + "/2039");
  EXPECT_EQ(readout.view.progressMaximum, 2040);
}

}  // namespace
