#include "archive/ArchivedLine.h"

#include <QDate>
#include <QStringList>
#include <QTime>
#include <cmath>

#include "archive/LineForm.h"
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
      if (valid_) daySeconds_ = (date.toJulianDay() - JulianDayOf1970) * SecondsPerDay;
    }
    if (!valid_ || time.hour > 23 || time.minute > 59) return std::nullopt;
    return daySeconds_ + time.hour * 3600 + time.minute * 60;
  }

 private:
  int year_ = -1;
  int month_ = -1;
  int day_ = -1;
  bool valid_ = false;
  qint64 daySeconds_ = 0;
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

bool SameValues(const ArchivedLine::Values& a, const ArchivedLine::Values& b) {
  for (size_t channel = 0; channel < a.size(); ++channel) {
    if (a[channel] != b[channel]) return false;
    if (a[channel] && std::signbit(*a[channel]) != std::signbit(*b[channel])) return false;
  }
  return true;
}

QByteArray RecordKeyOf(qint64 time, bool secondPass, const ArchivedLine::Values& values) {
  QByteArray key;
  key.reserve(int(sizeof(qint64)) + 1 + ArchivedLine::ChannelCount * int(1 + sizeof(double)));
  key.append(reinterpret_cast<const char*>(&time), sizeof(time)).append(char(secondPass));
  for (const std::optional<double>& value : values) {
    const double number = value.value_or(0);
    key.append(char(value.has_value())).append(reinterpret_cast<const char*>(&number), sizeof(number));
  }
  return key;
}

void TakeZeroSigns(ArchivedLine::Values& values, const QByteArray& keptLine) {
  for (std::optional<double>& value : values) {
    if (value && *value == 0) value = 0.0;
  }
  if (keptLine.isEmpty()) return;
  TextLines text;
  text.Add(keptLine);
  const RecordLog read = ReadMeasurementLines(text);
  const std::span<const RecordValue> own = read.Values(read.records.front());
  for (size_t channel = 0; channel < own.size() && channel < values.size(); ++channel) {
    if (values[channel] && own[channel].IsNumber() && own[channel].number == 0)
      values[channel] = own[channel].number;
  }
}

bool RecordKeyLess(const ArchivedLine& a, const ArchivedLine& b) {
  if (a.time != b.time) return a.time < b.time;
  return a.secondPass < b.secondPass;
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

ArchivedLines ArchiveRecords(const RecordLog& log, const QList<QByteArray>& lines, const QTimeZone& zone,
                             const std::vector<bool>& inEarlierImage) {
  ArchivedLines archived;
  std::vector<qint64> localTimes;
  std::vector<size_t> timed;  // the records of those local times
  localTimes.reserve(log.records.size());
  timed.reserve(log.records.size());
  RecordDays days;
  for (size_t i = 0; i < log.records.size(); ++i) {
    const LogRecord& record = log.records[i];
    const std::optional<qint64> local =
        record.timeCount < LogRecord::TimeColumns ? std::nullopt : days.Seconds(record.time);
    if (!local) {
      ++archived.withoutTime;
      continue;
    }
    localTimes.push_back(*local);
    timed.push_back(i);
  }
  const std::vector<SiteTime> times = SiteTimesInRingOrder(localTimes, zone);
  archived.records.reserve(timed.size());
  for (size_t k = 0; k < timed.size(); ++k) {
    const size_t i = timed[k];
    if (i < inEarlierImage.size() && inEarlierImage[i] && !times[k].repeated) {
      ++archived.inEarlierImage;
      continue;
    }
    ArchivedLine& line = archived.records.emplace_back();
    line.line = lines.value(qsizetype(i));
    line.time = localTimes[k];
    line.timeUtc = times[k].utc;
    line.secondPass = times[k].secondPass;
    line.skipped = times[k].skipped;
    const std::span<const RecordValue> values = log.Values(log.records[i]);
    for (size_t channel = 0; channel < values.size() && channel < size_t(ArchivedLine::ChannelCount);
         ++channel) {
      if (values[channel].IsNumber()) line.values[channel] = values[channel].number;
    }
    if (!line.line.isEmpty()) line.lineForm = LineFormOf(line);
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
