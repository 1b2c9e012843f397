#include "archive/ArchivedLine.h"

#include <QDate>
#include <QLocale>
#include <QStringList>
#include <QTime>
#include <QVarLengthArray>
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

char* WriteDigits(char* p, quint64 number) {
  char digits[20];
  int count = 0;
  do {
    digits[count++] = char('0' + number % 10);
    number /= 10;
  } while (number != 0);
  while (count > 0) *p++ = digits[--count];
  return p;
}

// The shortest digits that read back as the same number ("20.1", "-0"), as a number the archive gives
// back is written.
void AppendShortest(QByteArray& key, double value) {
  if (value == 0 && std::signbit(value)) key += '-';
  key += QByteArray::number(value, 'f', QLocale::FloatingPointShortest);
}

// A record's value key is written into a buffer first and taken over whole.
using KeyBuffer = QVarLengthArray<char, 512>;

// A value as a number with "." and its digits, without the zeros that end a fraction ("20.10" and
// "20,1" both "20.1"): the same number read from any line gives the same text, the text of the
// number read back from the archive.
void AppendValueKey(KeyBuffer& key, const RecordValue& value) {
  constexpr int MaxDecimals = 9;
  // Beyond this the digits of the decimal value no longer fit a 64-bit integer.
  constexpr double LargestScaled = 1e15;
  int decimals = std::min<int>(value.decimals, MaxDecimals);
  quint64 unit = 1;
  for (int k = 0; k < decimals; ++k) unit *= 10;
  const double magnitude = std::fabs(value.number) * double(unit);
  if (!(magnitude < LargestScaled)) {
    QByteArray shortest;
    AppendShortest(shortest, value.number);
    key.append(shortest.constData(), shortest.size());
    return;
  }
  quint64 scaled = quint64(std::llround(magnitude));
  while (decimals > 0 && scaled % 10 == 0) {
    scaled /= 10;
    unit /= 10;
    --decimals;
  }
  char text[32];
  char* p = text;
  if (value.IsNegative()) *p++ = '-';
  p = WriteDigits(p, scaled / unit);
  if (decimals > 0) {
    *p++ = '.';
    quint64 fraction = scaled % unit;
    for (int k = decimals - 1; k >= 0; --k) {
      p[k] = char('0' + fraction % 10);
      fraction /= 10;
    }
    p += decimals;
  }
  key.append(text, p - text);
}

// "hh:mm:ss" from `p` on.
char* WriteClock(char* p, qint64 hour, qint64 minute, qint64 second) {
  const std::array<qint64, 3> parts = {hour, minute, second};
  for (size_t k = 0; k < parts.size(); ++k) {
    if (k > 0) *p++ = ':';
    *p++ = char('0' + parts[k] / 10 % 10);
    *p++ = char('0' + parts[k] % 10);
  }
  return p;
}

// The local time of a record, with the date's part worked out once for a run of records of one day.
class RecordDays {
 public:
  // Nothing for a time stamp that is no valid date and time.
  std::optional<qint64> Seconds(const RecordTime& time) {
    if (time.year != year_ || time.month != month_ || time.day != day_) {
      year_ = time.year;
      month_ = time.month;
      day_ = time.day;
      const QDate date(time.year, time.month, time.day);
      valid_ = date.isValid();
      if (valid_) {
        daySeconds_ = (date.toJulianDay() - JulianDayOf1970) * SecondsPerDay;
        dateText_ = SqlTime(date, QTime(0, 0)).left(11);
      }
    }
    if (!valid_ || time.hour > 23 || time.minute > 59) return std::nullopt;
    return daySeconds_ + time.hour * 3600 + time.minute * 60;
  }
  // "2024-03-01 14:05:00" of the time stamp last given to Seconds.
  QByteArray Text(const RecordTime& time) const {
    char text[19];
    std::copy(dateText_.begin(), dateText_.end(), text);
    const char* end = WriteClock(text + dateText_.size(), time.hour, time.minute, 0);
    return QByteArray(text, end - text);
  }

 private:
  int year_ = -1;
  int month_ = -1;
  int day_ = -1;
  bool valid_ = false;
  qint64 daySeconds_ = 0;
  QByteArray dateText_;
};

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
  char text[32];
  std::copy(lastDate.begin(), lastDate.end(), text);
  const char* end = WriteClock(text + lastDate.size(), clock / 3600, clock / 60 % 60, clock % 60);
  return QByteArray(text, end - text);
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

bool RecordKeyLess(const ArchivedLine& a, const ArchivedLine& b) {
  if (const int time = a.time.compare(b.time); time != 0) return time < 0;
  if (a.secondPass != b.secondPass) return b.secondPass;
  return a.valueKey.compare(b.valueKey) < 0;
}

// Shortest digits that read back as the same number: the digits of the text it was read from, without
// the zeros that end a fraction, as AppendValueKey writes them.
QByteArray ValueKeyOf(const std::array<std::optional<double>, ArchivedLine::ChannelCount>& values) {
  QByteArray key;
  qsizetype keyLength = 0;
  for (size_t channel = 0; channel < values.size(); ++channel) {
    if (channel > 0) key += ';';
    if (!values[channel]) continue;
    AppendShortest(key, *values[channel]);
    keyLength = key.size();
  }
  key.truncate(keyLength);
  return key;
}

int ChannelsInUse(const std::vector<const ArchivedLine*>& records) {
  int channels = 0;
  for (const ArchivedLine* record : records) {
    for (int channel = ArchivedLine::ChannelCount; channel > channels; --channel) {
      if (record->values[size_t(channel - 1)]) {
        channels = channel;
        break;
      }
    }
  }
  return channels;
}

ArchivedLines ArchiveRecords(const RecordLog& log, const QList<QByteArray>& lines, const QTimeZone& zone) {
  ArchivedLines archived;
  archived.records.reserve(log.records.size());
  std::vector<qint64> localTimes;
  localTimes.reserve(log.records.size());
  RecordDays days;
  KeyBuffer key;
  for (size_t i = 0; i < log.records.size(); ++i) {
    const LogRecord& record = log.records[i];
    const std::optional<qint64> local =
        record.timeCount < LogRecord::TimeColumns ? std::nullopt : days.Seconds(record.time);
    if (!local) {
      ++archived.withoutTime;
      continue;
    }
    ArchivedLine& line = archived.records.emplace_back();
    line.line = lines.value(qsizetype(i));
    line.time = days.Text(record.time);
    localTimes.push_back(*local);
    // Trailing missing values leave no mark: a line read back from a file does not know how many
    // value columns its record had, a line of the archive's first schema kept no missing channel.
    const std::span<const RecordValue> values = log.Values(record);
    key.clear();
    qsizetype keyLength = 0;
    for (size_t channel = 0; channel < values.size() && channel < size_t(ArchivedLine::ChannelCount);
         ++channel) {
      if (channel > 0) key.append(';');
      if (!values[channel].IsNumber()) continue;
      AppendValueKey(key, values[channel]);
      keyLength = key.size();
      line.values[channel] = values[channel].number;
    }
    line.valueKey = QByteArray(key.data(), keyLength);
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
