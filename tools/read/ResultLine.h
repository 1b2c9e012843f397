#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "DeviceReadout.h"

// "HOST: FILE", "HOST: FILE (incomplete log: ...)", "HOST: N new records archived" when no file is
// written, or "HOST: why it failed".
QString ResultText(const DeviceOutcome& outcome);

// One line per new alarm of the outcome: "HOST: alarm: channel 1 (temperature) above 8 °C from ...".
QStringList AlarmLines(const DeviceOutcome& outcome);

// The outcome as one line of compact JSON, for a monitoring system: host, deviceType, mac,
// blocksRead, missingBlocks, records, newRecordsArchived, file, error, seconds, and with --mqtt mqtt
// ("published" or why not); what a readout did not get to is null. When limits apply, "alarms" lists
// the new alarms: device, channel, quantity, unit, limit ("low" or "high"), value (of the limit), start,
// end, records, extreme.
QByteArray ResultJson(const DeviceOutcome& outcome);
