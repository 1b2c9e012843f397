#pragma once

#include <QDateTime>
#include <QString>
#include <optional>
#include <vector>

#include "archive/AlarmTable.h"
#include "pipeline/AlarmKeeping.h"
#include "pipeline/ReadoutRun.h"
#include "watch/DeviceClock.h"

// A device's silent or clock alarm as one readout finds it.
struct DeviceAlarm {
  AlarmKind kind = AlarmKind::Silent;
  bool open = true;  // the device is still silent, its clock still off
  QDateTime start;   // the readout that found it first, as far as the archive knows; in the devices' zone
  QDateTime end;     // this readout
  std::optional<double> newestRecordAgeMinutes;
  AlarmNews news;  // what is to be told of it now
};

// The silent and clock alarms of one readout (DeviceAlarmKind under run.deviceWatch) of the device the
// archive keeps them under `deviceKey`: the one open now, and one that this readout ended. With the
// run's archive an alarm is news once when it starts and once when it ends (its all-clear); without
// one, an open alarm is news at every readout. Throws ValdError when the archive fails.
std::vector<DeviceAlarm> WatchDevice(const ReadoutRun& run, const QString& deviceKey,
                                     const DeviceState& state);

// The report of a device alarm or of its all-clear failed: the next readout reports it again.
void UnreportDeviceAlarm(const QString& deviceKey, const DeviceAlarm& alarm, AlarmEvent event,
                         const QTimeZone& zone, ArchiveStore& store);
