#include "watch/DeviceClock.h"

#include <algorithm>

namespace {

// The newest record of a valid time, if any, or the one `skip` places before it. The time stamps are
// ordered as they are written, which is the order of their times in any zone, so that only the newest few
// are made into times.
std::optional<QDateTime> NewestTime(const RecordLog& log, const QTimeZone& zone, int skip = 0) {
  std::vector<RecordTime> stamps;
  stamps.reserve(log.records.size());
  for (const LogRecord& record : log.records) {
    if (record.timeCount >= LogRecord::TimeColumns) stamps.push_back(record.time);
  }
  while (!stamps.empty()) {
    const auto newest = std::max_element(stamps.begin(), stamps.end());
    const QDateTime time = RecordDateTime(*newest, zone);
    if (time.isValid() && skip-- == 0) return time;
    *newest = stamps.back();
    stamps.pop_back();
  }
  return std::nullopt;
}

}  // namespace

std::optional<double> NewestRecordAgeMinutes(const RecordLog& log, const QDateTime& now,
                                             const QTimeZone& zone) {
  const std::optional<QDateTime> newest = NewestTime(log, zone);
  if (!newest) return std::nullopt;
  return double(newest->secsTo(now)) / 60;
}

std::optional<double> LoggingIntervalMinutes(const RecordLog& log) {
  const std::optional<QDateTime> newest = NewestTime(log, QTimeZone::utc());
  const std::optional<QDateTime> before = NewestTime(log, QTimeZone::utc(), 1);
  if (!newest || !before) return std::nullopt;
  return double(before->secsTo(*newest)) / 60;
}

std::optional<AlarmKind> DeviceAlarmKind(const DeviceState& device, const DeviceWatchLimits& limits) {
  if (!device.answered) return limits.staleMinutes ? std::optional(AlarmKind::Silent) : std::nullopt;
  const std::optional<double> age = device.newestAgeMinutes;
  if (age && *age < -limits.clockLimitMinutes) return AlarmKind::Clock;
  if (age && device.keepsLogging && *age > limits.clockLimitMinutes + device.intervalMinutes.value_or(0))
    return AlarmKind::Clock;
  if (limits.staleMinutes && (!age || *age > *limits.staleMinutes)) return AlarmKind::Silent;
  return std::nullopt;
}
