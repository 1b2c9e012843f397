#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "DeviceReadout.h"

// "HOST: FILE", "HOST: FILE (incomplete log: ...)", "HOST: N new records archived" when no file is
// written, or "HOST: why it failed".
QString ResultText(const DeviceOutcome& outcome);

// One line per alarm with news: "HOST: alarm: channel 1 (temperature) above 8 °C from ..." for a new
// one, "HOST: all clear: ..." for one told before that is over now; a silent or clock alarm likewise.
QStringList AlarmLines(const DeviceOutcome& outcome);

// The outcome as one line of compact JSON, for a monitoring system: host, deviceType, mac,
// blocksRead, missingBlocks, records, newRecordsArchived, file, error, seconds, newestRecordAgeMinutes,
// and with --mqtt mqtt ("published" or why not); what a readout did not get to is null. When alarms are
// watched, "alarms" lists those with news: kind, device, open, events ("alarm" and/or "clear"), start
// and end (ISO 8601 with the offset), for a limit channel, quantity, unit, limit ("low" or "high"),
// value (of the limit), records and extreme, for a silent or clock alarm newestRecordAgeMinutes.
QByteArray ResultJson(const DeviceOutcome& outcome);
