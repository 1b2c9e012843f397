#pragma once

#include "archive/ArchiveStore.h"
#include "watch/LogAlarms.h"

// Keeps the alarms in the archive's alarm table under the device's key: only those it did not hold yet
// stay new. Throws ValdError when the archive fails.
void KeepAlarms(LogAlarms& found, ArchiveStore& store);
