#pragma once

#include <QElapsedTimer>
#include <QProcessEnvironment>
#include <QString>
#include <QTextStream>
#include <functional>

#include "pipeline/AlarmKeeping.h"
#include "pipeline/DeviceWatching.h"
#include "watch/LogAlarms.h"

// The limits a run's notify commands keep to: a command's time, the whole run's time for them, and
// how much of what a command prints is passed on.
struct NotifyLimits {
  int commandSeconds = 60;
  int totalSeconds = 300;
  qint64 shownOutputBytes = 64 * 1024;
};

// The environment of the --notify command for a channel's alarm or its all-clear: VALD_EVENT ("alarm"
// or "clear"), VALD_KIND ("limit"), VALD_DEVICE, VALD_TYPE, VALD_CHANNEL, VALD_QUANTITY, VALD_UNIT,
// VALD_LIMIT ("low" or "high"), VALD_LIMIT_VALUE, VALD_START, VALD_END (ISO 8601 with the offset),
// VALD_RECORDS and VALD_EXTREME.
QProcessEnvironment NotifyEnvironment(const LogAlarms& alarms, const Alarm& alarm, AlarmEvent event);
// The same for a device's silent or clock alarm: VALD_EVENT, VALD_KIND, VALD_DEVICE, VALD_TYPE (empty
// when the device's type is not known), VALD_START, VALD_END and VALD_AGE_MINUTES (empty without a record).
QProcessEnvironment NotifyEnvironment(const QString& device, const QString& type, const DeviceAlarm& alarm,
                                      AlarmEvent event);

// Runs the --notify command through /bin/sh -c with `environment`, in a process group of its own, and
// waits for it. What it prints goes to `err` up to the limit, so that standard output keeps its one line
// per device. A command still running at its time limit, or when the run's time for notify commands is
// up (`runClock` started with the first), is stopped with every process it started. Returns why it
// failed (it could not start, ended with a status other than 0, or was stopped), or nothing. Once
// `stopRequested` says so (the run is being stopped) no command starts, and a running one is stopped.
QString NotifyAlarm(const QString& command, const QProcessEnvironment& environment, QTextStream& err,
                    const NotifyLimits& limits, const QElapsedTimer& runClock,
                    const std::function<bool()>& stopRequested);
