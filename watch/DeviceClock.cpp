#include "watch/DeviceClock.h"

#include <algorithm>

namespace {

// The newest record of a valid time, if any.
std::optional<QDateTime> NewestTime(const RecordLog& log, const QTimeZone& zone, int skip = 0) {
  std::vector<QDateTime> times;
  for (const LogRecord& record : log.records) {
    if (record.timeCount < LogRecord::TimeColumns) continue;
    const QDateTime time = RecordDateTime(record.time, zone);
    if (time.isValid()) times.push_back(time);
  }
  if (int(times.size()) <= skip) return std::nullopt;
  std::nth_element(times.begin(), times.begin() + skip, times.end(), std::greater<>());
  return times[size_t(skip)];
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
