#pragma once

#include <QByteArray>
#include <QString>

#include "DeviceReadout.h"

// "HOST: FILE", "HOST: FILE (incomplete log: ...)", "HOST: N new records archived" when no file is
// written, or "HOST: why it failed".
QString ResultText(const DeviceOutcome& outcome);

// The outcome as one line of compact JSON, for a monitoring system: host, deviceType, mac,
// blocksRead, missingBlocks, records, newRecordsArchived, file, error, seconds, and with --mqtt mqtt
// ("published" or why not); what a readout did not get to is null.
QByteArray ResultJson(const DeviceOutcome& outcome);
