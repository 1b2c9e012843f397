#pragma once

#include "archive/ArchiveStore.h"
#include "watch/LogAlarms.h"

// Keeps the alarms in the archive's alarm table under the device's key: only those not reported yet
// stay new, and count as reported from here on. Throws ValdError when the archive fails.
void KeepAlarms(LogAlarms& found, ArchiveStore& store);

// The report of alarm `index` of `found` failed: the next readout reports it again.
void UnreportAlarm(const LogAlarms& found, size_t index, ArchiveStore& store);
