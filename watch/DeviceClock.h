#pragma once

#include <QDateTime>
#include <QTimeZone>
#include <optional>

#include "core/LogRecord.h"
#include "watch/AlarmRuns.h"

// How far the newest record of a log lies behind `now`, in minutes, its time stamp read in the device's
// time zone: negative for a record in the future. Nothing for a log without a record of a valid time.
std::optional<double> NewestRecordAgeMinutes(const RecordLog& log, const QDateTime& now,
                                             const QTimeZone& zone);

// The minutes between the newest two records of a log of valid times: the interval it is logging at.
std::optional<double> LoggingIntervalMinutes(const RecordLog& log);

// What a readout tells about a device beside its records.
struct DeviceState {
  bool answered = false;                   // its log arrived (whole or in part)
  std::optional<double> newestAgeMinutes;  // NewestRecordAgeMinutes; nothing without records
  std::optional<double> intervalMinutes;   // LoggingIntervalMinutes
  bool keepsLogging = false;               // it wrote records since its previous readout
};

// How far a device's clock may be off when no limit is given.
inline constexpr int DefaultClockLimitMinutes = 15;

// The limits a device's answer and clock are held to.
struct DeviceWatchLimits {
  std::optional<double>
      staleMinutes;  // a newest record older than this is a silent device; none: not checked
  double clockLimitMinutes = DefaultClockLimitMinutes;  // how far the device's clock may be off
};

// The alarm the device's state raises, if any: `Silent` for a device that did not answer or whose
// newest record is older than the stale limit (with one), `Clock` for records in the future beyond the
// clock limit, or for a device that keeps logging while its newest record lies behind by more than the
// clock limit and its logging interval: its clock is off, it is not silent.
std::optional<AlarmKind> DeviceAlarmKind(const DeviceState& device, const DeviceWatchLimits& limits);
