#include "archive/LineForm.h"

#include <QVarLengthArray>
#include <algorithm>
#include <array>
#include <cmath>

#include "archive/SiteTime.h"
#include "files/MeasurementLine.h"

namespace {

constexpr int FewestDecimals = 1;
constexpr int DecimalComma = 2;
constexpr int MissingShift = 2;

constexpr std::array<double, 10> PowersOfTen = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
// Beyond this a value's digits no longer fit the line writer's 64-bit integer.
constexpr double LargestWritten = 1e9;

// The decimals that give `number` back exactly, as a value read from its text was divided out.
std::optional<uint8_t> DecimalsOf(double number, bool fewest) {
  const double magnitude = std::fabs(number);
  if (!(magnitude < LargestWritten)) return std::nullopt;
  for (size_t decimals = 0; decimals < PowersOfTen.size(); ++decimals) {
    const double scaled = std::round(magnitude * PowersOfTen[decimals]);
    if (scaled / PowersOfTen[decimals] == magnitude)
      return uint8_t(fewest ? decimals : std::max<size_t>(decimals, 1));
  }
  return std::nullopt;
}

}  // namespace

std::optional<QByteArray> LineOfForm(qint64 time, const ArchivedLine::Values& values, int form) {
  const auto last =
      std::find_if(values.rbegin(), values.rend(), [](const auto& value) { return value.has_value(); });
  const size_t count = size_t(values.rend() - last) + size_t(form >> MissingShift);
  QVarLengthArray<RecordValue, ArchivedLine::ChannelCount> written(qsizetype(count), RecordValue{});
  for (size_t channel = 0; channel < count && channel < values.size(); ++channel) {
    if (!values[channel]) continue;
    // A zero comes back without its sign, as SQLite keeps a whole number.
    RecordValue& value = written[qsizetype(channel)];
    value.kind = RecordValue::Kind::Number;
    value.number = *values[channel] == 0 ? 0.0 : *values[channel];
    const std::optional<uint8_t> decimals = DecimalsOf(value.number, (form & FewestDecimals) != 0);
    if (!decimals) return std::nullopt;
    value.decimals = *decimals;
  }
  LogRecord record;
  record.timeCount = LogRecord::TimeColumns;
  record.time = LocalTimeStamp(time);
  const char separator = (form & DecimalComma) != 0 ? ',' : '.';
  return FormatMeasurementLine(record, {written.data(), size_t(written.size())}, {separator, separator});
}

std::optional<int> LineFormOf(const ArchivedLine& record) {
  // Every value column ends with ";", an event's name after it does not.
  const qsizetype columns = record.line.count(';') - LogRecord::TimeColumns;
  const auto last = std::find_if(record.values.rbegin(), record.values.rend(),
                                 [](const std::optional<double>& value) { return value.has_value(); });
  const qsizetype missing = columns - (record.values.rend() - last);
  if (missing < 0) return std::nullopt;
  const int comma = record.line.contains(',') ? DecimalComma : 0;
  for (const int fewest : {0, FewestDecimals}) {
    const int form = int(missing << MissingShift) | comma | fewest;
    if (LineOfForm(record.time, record.values, form) == record.line) return form;
  }
  return std::nullopt;
}
