#pragma once

#include <QString>
#include <QTextStream>

#include "watch/LogAlarms.h"

// Runs the --notify command through /bin/sh -c for one alarm, with VALD_DEVICE, VALD_TYPE,
// VALD_CHANNEL, VALD_QUANTITY, VALD_UNIT, VALD_LIMIT ("low" or "high"), VALD_LIMIT_VALUE, VALD_START,
// VALD_END, VALD_RECORDS and VALD_EXTREME in its environment, and waits for it. What it prints goes to
// `err`, so that standard output keeps its one line per device. Returns why it failed (it could not
// start, ended with a status other than 0, or ran longer than a minute and was stopped), or nothing.
QString NotifyAlarm(const QString& command, const LogAlarms& alarms, const Alarm& alarm, QTextStream& err);
