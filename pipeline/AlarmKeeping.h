#pragma once

#include "archive/ArchiveStore.h"
#include "watch/LogAlarms.h"

// What is told of an alarm: that it started, or that it is over (its all-clear).
enum class AlarmEvent { Start, Clear };

// "alarm" or "clear", as the notify command and the JSON name the events.
inline const char* AlarmEventKey(AlarmEvent event) {
  return event == AlarmEvent::Start ? "alarm" : "clear";
}

// Keeps the alarms in the archive's alarm table under the device's key: only those not reported yet
// stay new, and only the all-clears of those over that were not reported yet; all count as reported
// from here on. Runs in a write transaction under way (a merge's, or ArchiveStore::Change), which makes
// what it reads and what it claims one step: of programs keeping the same alarm at once, one alone is
// told it is new. Throws ValdError when the archive fails.
void KeepAlarms(LogAlarms& found, ArchiveStore& store);

// The report of alarm `index` of `found` or of its all-clear failed: the next readout reports it again.
void UnreportAlarm(const LogAlarms& found, size_t index, AlarmEvent event, ArchiveStore& store);
