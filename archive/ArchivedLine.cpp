#include "archive/ArchivedLine.h"

#include <QDate>
#include <QLocale>
#include <QStringList>
#include <QTime>
#include <cmath>

#include "archive/SiteTime.h"
#include "core/TextLines.h"
#include "files/MeasurementLine.h"

namespace {

constexpr qint64 SecondsPerDay = 86400;
constexpr qint64 JulianDayOf1970 = 2440588;

void AppendDigits(QByteArray& text, qint64 number, int digits) {
  for (qint64 divisor = digits == 4 ? 1000 : 10; divisor > 0; divisor /= 10)
    text += char('0' + number / divisor % 10);
}

// Built from the numbers, not through a local date and time, which a daylight saving gap would shift.
QByteArray SqlTime(const QDate& date, const QTime& time) {
  if (date.year() < 0 || date.year() > 9999) {
    return QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d", date.year(), date.month(), date.day(),
                             time.hour(), time.minute(), time.second())
        .toLatin1();
  }
  // Written digit by digit: formatting through QString would take longer than the rest of the record.
  QByteArray text;
  text.reserve(19);
  AppendDigits(text, date.year(), 4);
  text += '-';
  AppendDigits(text, date.month(), 2);
  text += '-';
  AppendDigits(text, date.day(), 2);
  text += ' ';
  AppendDigits(text, time.hour(), 2);
  text += ':';
  AppendDigits(text, time.minute(), 2);
  text += ':';
  AppendDigits(text, time.second(), 2);
  return text;
}

// A value as a number with "." and its digits, without the zeros that end a fraction ("20.10" and
// "20,1" both "20.1"): the same number read from any line gives the same text.
void AppendValueKey(QByteArray& key, const RecordValue& value) {
  if (!value.IsNumber()) return;
  constexpr int MaxDecimals = 9;
  int decimals = std::min<int>(value.decimals, MaxDecimals);
  qint64 unit = 1;
  for (int k = 0; k < decimals; ++k) unit *= 10;
  qint64 scaled = std::llround(std::fabs(value.number) * double(unit));
  while (decimals > 0 && scaled % 10 == 0) {
    scaled /= 10;
    unit /= 10;
    --decimals;
  }
  if (value.IsNegative()) key += '-';
  key += QByteArray::number(scaled / unit);
  if (decimals > 0) {
    key += '.';
    const QByteArray fraction = QByteArray::number(scaled % unit);
    key += QByteArray(decimals - fraction.size(), '0') + fraction;
  }
}

}  // namespace

QByteArray SqlTimeOfSeconds(qint64 seconds) {
  const qint64 days = seconds >= 0 ? seconds / SecondsPerDay : (seconds - SecondsPerDay + 1) / SecondsPerDay;
  const qint64 clock = seconds - days * SecondsPerDay;
  // A log's records lie a few minutes apart: the date of the one before is mostly the date again.
  thread_local qint64 lastDays = -1;
  thread_local QByteArray lastDate;
  if (days != lastDays || lastDate.isEmpty()) {
    lastDate = SqlTime(QDate::fromJulianDay(days + JulianDayOf1970), QTime(0, 0)).left(11);
    lastDays = days;
  }
  QByteArray text;
  text.reserve(19);
  text.append(lastDate);
  AppendDigits(text, clock / 3600, 2);
  text += ':';
  AppendDigits(text, clock / 60 % 60, 2);
  text += ':';
  AppendDigits(text, clock % 60, 2);
  return text;
}

std::optional<qint64> SecondsOfSqlTime(const QString& text) {
  const QDate date = QDate::fromString(text.left(10), QStringLiteral("yyyy-MM-dd"));
  const QTime clock = QTime::fromString(text.mid(11, 8), QStringLiteral("hh:mm:ss"));
  if (!date.isValid() || !clock.isValid()) return std::nullopt;
  return (date.toJulianDay() - JulianDayOf1970) * SecondsPerDay + clock.msecsSinceStartOfDay() / 1000;
}

QByteArray RecordKeyOf(const QByteArray& time, bool secondPass, const QByteArray& valueKey) {
  QByteArray key;
  key.reserve(time.size() + 3 + valueKey.size());
  return key.append(time).append(secondPass ? "|2|" : "|1|").append(valueKey);
}

QByteArray RecordKeyOf(const ArchivedLine& line) {
  return RecordKeyOf(line.time, line.secondPass, line.valueKey);
}

// Shortest digits that read back as the same number: the digits of the text it was read from, without
// the zeros that end a fraction, as AppendValueKey writes them.
QByteArray ValueKeyOf(const std::array<std::optional<double>, ArchivedLine::ChannelCount>& values) {
  QByteArray key;
  qsizetype keyLength = 0;
  for (size_t channel = 0; channel < values.size(); ++channel) {
    if (channel > 0) key += ';';
    if (!values[channel]) continue;
    const double value = *values[channel];
    if (value == 0 && std::signbit(value)) key += '-';
    key += QByteArray::number(value, 'f', QLocale::FloatingPointShortest);
    keyLength = key.size();
  }
  key.truncate(keyLength);
  return key;
}

ArchivedLines ArchiveRecords(const RecordLog& log, const QList<QByteArray>& lines, const QTimeZone& zone) {
  ArchivedLines archived;
  archived.records.reserve(log.records.size());
  std::vector<qint64> localTimes;
  localTimes.reserve(log.records.size());
  for (size_t i = 0; i < log.records.size(); ++i) {
    const LogRecord& record = log.records[i];
    const QDate date(record.time.year, record.time.month, record.time.day);
    const QTime clock(record.time.hour, record.time.minute);
    if (record.timeCount < LogRecord::TimeColumns || !date.isValid() || !clock.isValid()) {
      ++archived.withoutTime;
      continue;
    }
    ArchivedLine& line = archived.records.emplace_back();
    line.line = lines.value(qsizetype(i));
    line.time = SqlTime(date, clock);
    localTimes.push_back(LocalSeconds(date.year(), date.month(), date.day(), clock.hour(), clock.minute()));
    const std::span<const RecordValue> values = log.Values(record);
    // Trailing missing values leave no mark: a line read back from a file does not know how many
    // value columns its record had, a line of the archive's first schema kept no missing channel.
    qsizetype keyLength = 0;
    for (size_t channel = 0; channel < values.size(); ++channel) {
      if (channel > 0) line.valueKey += ';';
      AppendValueKey(line.valueKey, values[channel]);
      if (values[channel].IsNumber()) {
        keyLength = line.valueKey.size();
        if (channel < size_t(ArchivedLine::ChannelCount)) line.values[channel] = values[channel].number;
      }
    }
    line.valueKey.truncate(keyLength);
  }
  const std::vector<SiteTime> times = SiteTimesInRingOrder(localTimes, zone);
  for (size_t i = 0; i < times.size(); ++i) {
    ArchivedLine& line = archived.records[i];
    line.timeUtc = SqlTimeOfSeconds(times[i].utc);
    line.secondPass = times[i].secondPass;
    line.skipped = times[i].skipped;
  }
  return archived;
}

ArchivedLines ReadArchivedLines(const QList<QByteArray>& lines, const QTimeZone& zone) {
  TextLines text;
  text.Reserve(int(lines.size()));
  for (const QByteArray& line : lines) text.Add(line);
  return ArchiveRecords(ReadMeasurementLines(text), lines, zone);
}

std::optional<QByteArray> ArchiveTimeFromText(const QString& text, bool endOfDay) {
  const QStringList parts = text.trimmed().split(QLatin1Char(' '), Qt::SkipEmptyParts);
  if (parts.isEmpty() || parts.size() > 2) return std::nullopt;
  const QDate date = QDate::fromString(parts[0], QStringLiteral("yyyy-MM-dd"));
  const QTime time = parts.size() == 2 ? QTime::fromString(parts[1], QStringLiteral("hh:mm"))
                                       : QTime(endOfDay ? 23 : 0, endOfDay ? 59 : 0, endOfDay ? 59 : 0);
  if (!date.isValid() || !time.isValid()) return std::nullopt;
  return SqlTime(date, time);
}
