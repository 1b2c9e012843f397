#include "views/ChartPopulation.h"

#include <QByteArrayView>
#include <vector>

#include "views/NumberFormats.h"
#include "views/PageLayouts.h"
#include "views/ViewClearing.h"

namespace {

// The fields of a line: the text before each ";". Text after the last ";" is no field.
void SplitFields(const QByteArray& line, std::vector<QByteArrayView>& fields) {
  fields.clear();
  for (qsizetype start = 0, end; (end = line.indexOf(';', start)) >= 0; start = end + 1) {
    fields.emplace_back(line.constData() + start, end - start);
  }
}

void KeepLineFields(TextLines& lineFields, const std::vector<QByteArrayView>& fields) {
  lineFields.Clear();
  for (QByteArrayView field : fields) lineFields.Add(field.toByteArray());
}

// "2023.12.03 14:05" from the columns 2023, 12, 03, 14 and 05.
QByteArray PointLabel(const std::vector<QByteArrayView>& fields) {
  QByteArray label;
  label.reserve(fields[0].size() + fields[1].size() + fields[2].size() + fields[3].size() + fields[4].size() +
                4);
  label.append(fields[0]).append('.').append(fields[1]).append('.').append(fields[2]);
  label.append(' ').append(fields[3]).append(':').append(fields[4]);
  return label;
}

}  // namespace

void PopulateCharts(SharedState& state, WindowModel& view, char systemDecimalSeparator,
                    ChannelExtremes& extremes) {
  EmptySeriesAndTexts(view);
  view.pages[PageT].strip.Insert("1: ");
  view.pages[PageH].strip.Insert("2: ");
  extremes = {};
  state.LineFields.Clear();

  const QList<QByteArray>& lines = state.LogLines.Lines();
  // The series fed by the value columns in column order, and the first series of each used page.
  std::vector<ChartSeries*> columnSeries;
  std::vector<ChartSeries*> labelledSeries;
  if (const std::optional<PageLayout> layout = LookUpPageLayout(state.DeviceCode)) {
    const std::array<int, 4> channels = ChartChannels(*layout);
    for (int page = 0; page < 4; ++page) {
      std::vector<ChartSeries>& series = view.pages[page].chart.series;
      for (int k = 0; k < channels[page]; ++k) {
        series[k].Reserve(int(lines.size()));
        columnSeries.push_back(&series[k]);
      }
      if (channels[page] > 0) labelledSeries.push_back(&series[0]);
    }
  }
  const bool tenths = state.DeviceCode == EnergyMeterCode;

  std::vector<QByteArrayView> fields;
  fields.reserve(32);
  for (int i = 0; i < int(lines.size()); ++i) {
    SplitFields(lines[i], fields);
    for (int k = 0; k < int(columnSeries.size()); ++k) {
      const int column = FirstValueColumn + k;
      if (column >= int(fields.size())) {
        // The failing line's fields stay in LineFields; reading the missing one raises the list's
        // index error, which names the column.
        KeepLineFields(state.LineFields, fields);
        state.LineFields.Get(column);
      }
      const QByteArrayView text = fields[column];
      if (text == "--") {
        columnSeries[k]->AddNull();
        continue;
      }
      std::optional<double> value = ReadNumber(text, systemDecimalSeparator);
      if (!value) {
        KeepLineFields(state.LineFields, fields);
        value = ParseNumber(text, systemDecimalSeparator);  // raises the conversion error naming the text
      }
      if (tenths) {
        ChannelExtreme& extreme = extremes[k];
        if (!extreme.seen) extreme = {0, 65535, true};
        if (*value > extreme.largest) extreme.largest = *value;
        if (*value < extreme.smallest) extreme.smallest = *value;
        columnSeries[k]->AddValue(*value / 10);
      } else {
        columnSeries[k]->AddValue(*value);
      }
    }
    if (!labelledSeries.empty()) {
      const QByteArray label = PointLabel(fields);
      for (ChartSeries* series : labelledSeries) series->SetLabel(i, label);
    }
  }
  if (!lines.isEmpty()) KeepLineFields(state.LineFields, fields);
}
