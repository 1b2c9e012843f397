#include "views/ChartPopulation.h"

#include <QByteArrayView>
#include <vector>

#include "core/NumberReading.h"
#include "files/MeasurementLine.h"
#include "views/PageLayouts.h"
#include "views/ViewClearing.h"

namespace {

// The fields of a line: the text before each ";". Text after the last ";" is no field.
void KeepLineFields(TextLines& lineFields, const QByteArray& line) {
  lineFields.Clear();
  for (qsizetype start = 0, end; (end = line.indexOf(';', start)) >= 0; start = end + 1) {
    lineFields.Add(line.mid(start, end - start));
  }
}

char* WriteTwoDigits(char* p, unsigned value) {
  if (value >= 100) *p++ = char('0' + value / 100);
  *p++ = char('0' + value / 10 % 10);
  *p++ = char('0' + value % 10);
  return p;
}

// "2023.12.03 14:05" from the time columns 2023, 12, 03, 14 and 05; the time columns of a line that
// does not write them as numbers (an opened file's) as the line has them.
QByteArray PointLabel(const LogRecord& record) {
  if (record.timeAsText) {
    TextLines fields;
    KeepLineFields(fields, record.text);
    return fields.Get(0) + '.' + fields.Get(1) + '.' + fields.Get(2) + ' ' + fields.Get(3) + ':' +
           fields.Get(4);
  }
  char text[24];
  char* p = text;
  if (record.time.year == 0) {
    *p++ = '0';
  } else {
    const unsigned year = record.time.year;
    if (year >= 10000) *p++ = char('0' + year / 10000 % 10);
    if (year >= 1000) *p++ = char('0' + year / 1000 % 10);
    if (year >= 100) *p++ = char('0' + year / 100 % 10);
    if (year >= 10) *p++ = char('0' + year / 10 % 10);
    *p++ = char('0' + year % 10);
  }
  *p++ = '.';
  p = WriteTwoDigits(p, record.time.month);
  *p++ = '.';
  p = WriteTwoDigits(p, record.time.day);
  *p++ = ' ';
  p = WriteTwoDigits(p, record.time.hour);
  *p++ = ':';
  p = WriteTwoDigits(p, record.time.minute);
  return QByteArray(text, p - text);
}

// Value k of record i of the log as a chart takes it. A record without that column raises the list's
// index error naming the column, and an unreadable column the conversion error naming its text; the
// failing record's line (as `separators` write it) then leaves its fields in `lineFields`.
const RecordValue& ChartedValue(const RecordLog& log, int i, int k, const LineSeparators& separators,
                                TextLines& lineFields, char systemDecimalSeparator) {
  const LogRecord& record = log.records[i];
  if (k >= int(record.valueCount)) {
    KeepLineFields(lineFields, FormatMeasurementLine(record, log.Values(record), separators));
    lineFields.Get(FirstValueColumn + k);
  }
  const RecordValue& value = log.values[record.firstValue + k];
  if (value.kind == RecordValue::Kind::Unreadable) {
    KeepLineFields(lineFields, FormatMeasurementLine(record, log.Values(record), separators));
    ParseNumber(lineFields.Get(FirstValueColumn + k), systemDecimalSeparator);
  }
  return value;
}

// The value columns a device code's layout charts; none without a layout.
int ChartedColumns(int deviceCode) {
  const std::optional<PageLayout> layout = LookUpPageLayout(deviceCode);
  if (!layout) return 0;
  const std::array<int, 4> channels = ChartChannels(*layout);
  return channels[0] + channels[1] + channels[2] + channels[3];
}

}  // namespace

void CheckLogIsChartable(const RecordLog& log, int deviceCode, const QByteArray& decimalSeparatorText,
                         char systemDecimalSeparator) {
  const LineSeparators separators = SeparatorsOf(decimalSeparatorText, systemDecimalSeparator);
  const int columns = ChartedColumns(deviceCode);
  TextLines lineFields;
  for (int i = 0; i < log.Count(); ++i) {
    for (int k = 0; k < columns; ++k) ChartedValue(log, i, k, separators, lineFields, systemDecimalSeparator);
  }
}

void PopulateCharts(SharedState& state, WindowModel& view, char systemDecimalSeparator,
                    ChannelExtremes& extremes) {
  EmptySeriesAndTexts(view);
  view.pages[PageT].strip.Insert("1: ");
  view.pages[PageH].strip.Insert("2: ");
  extremes = {};
  state.LineFields.Clear();

  const RecordLog& log = state.LogRecords;
  const LineSeparators separators = SeparatorsOf(state.DecimalSeparatorText, systemDecimalSeparator);

  // The series fed by the value columns in column order, and the first series of each used page.
  std::vector<ChartSeries*> columnSeries;
  std::vector<ChartSeries*> labelledSeries;
  bool tenths = false;
  if (const std::optional<PageLayout> layout = LookUpPageLayout(state.DeviceCode)) {
    const std::array<int, 4> channels = ChartChannels(*layout);
    for (int page = 0; page < 4; ++page) {
      std::vector<ChartSeries>& series = view.pages[page].chart.series;
      for (int k = 0; k < channels[page]; ++k) {
        series[k].Reserve(log.Count());
        columnSeries.push_back(&series[k]);
      }
      if (channels[page] > 0) labelledSeries.push_back(&series[0]);
    }
    // The energy meter logs its values in tenths; its chart shows them divided by 10 and its raw
    // extremes are kept for the summary.
    tenths = layout->family == PageFamily::EnergyMeter;
  }

  for (int i = 0; i < log.Count(); ++i) {
    const LogRecord& record = log.records[i];
    for (int k = 0; k < int(columnSeries.size()); ++k) {
      const RecordValue& value =
          ChartedValue(log, i, k, separators, state.LineFields, systemDecimalSeparator);
      if (value.kind == RecordValue::Kind::Missing) {
        columnSeries[k]->AddNull();
        continue;
      }
      if (tenths) {
        ChannelExtreme& extreme = extremes[k];
        if (!extreme.seen) extreme = {0, 65535, true};
        if (value.number > extreme.largest) extreme.largest = value.number;
        if (value.number < extreme.smallest) extreme.smallest = value.number;
        columnSeries[k]->AddValue(value.number / 10);
      } else {
        columnSeries[k]->AddValue(value.number);
      }
    }
    if (!labelledSeries.empty()) {
      const QByteArray label = PointLabel(record);
      for (ChartSeries* series : labelledSeries) series->SetLabel(i, label);
    }
  }
  if (!log.IsEmpty()) {
    const LogRecord& last = log.records.back();
    KeepLineFields(state.LineFields, FormatMeasurementLine(last, log.Values(last), separators));
  }
}
