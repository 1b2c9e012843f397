#include "decode/LogIntegrity.h"

#include <QByteArrayView>
#include <QDate>
#include <QHash>
#include <algorithm>

#include "decode/LogDecoding.h"

namespace {

constexpr uint8_t ErasedByte = 0xFF;
constexpr qint64 MinutesPerDay = 24 * 60;
// A clock set back by this much or less is daylight saving time ending, not a broken log.
constexpr qint64 ClockChangeMinutes = 60;

qint64 MinuteOf(const LogRecord& record) {
  const RecordTime& time = record.time;
  return QDate(time.year, time.month, time.day).toJulianDay() * MinutesPerDay + time.hour * 60 + time.minute;
}

}  // namespace

bool HasValidTime(const LogRecord& record) {
  const RecordTime& time = record.time;
  return record.timeCount == LogRecord::TimeColumns && time.year != 0 &&
         QDate(time.year, time.month, time.day).isValid() && time.hour < 24 && time.minute < 60;
}

LogIntegrity CheckLogIntegrity(std::span<const uint8_t> log, const std::vector<bool>& whole,
                               std::span<const LogRecord> ordered) {
  LogIntegrity integrity;
  QHash<QByteArrayView, int> seen;
  const int blocks = int(log.size() / LogBlockSize);
  for (int block = 0; block < blocks && block < int(whole.size()); ++block) {
    if (!whole[size_t(block)]) continue;
    const std::span<const uint8_t> bytes = log.subspan(size_t(block) * LogBlockSize, LogBlockSize);
    if (std::all_of(bytes.begin(), bytes.end(), [](uint8_t b) { return b == ErasedByte; })) continue;
    const QByteArrayView content(bytes.data(), qsizetype(bytes.size()));
    const auto earlier = seen.constFind(content);
    if (earlier != seen.cend()) {
      integrity.repeatedBlocks.append({block, earlier.value()});
    } else {
      seen.insert(content, block);
    }
  }
  std::optional<qint64> previous;
  for (const LogRecord& record : ordered) {
    if (record.cutShort) continue;
    if (!HasValidTime(record)) {
      ++integrity.invalidDates;
      continue;
    }
    const qint64 minute = MinuteOf(record);
    if (previous && minute < *previous - ClockChangeMinutes) ++integrity.timeReversals;
    previous = minute;
  }
  return integrity;
}
