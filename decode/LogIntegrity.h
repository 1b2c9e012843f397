#pragma once

#include <QList>
#include <span>
#include <vector>

#include "core/LogRecord.h"

// A log block whose bytes are those of an earlier block of the same readout.
struct RepeatedBlock {
  int block = 0;
  int earlierBlock = 0;
  bool operator==(const RepeatedBlock&) const = default;
};

// What does not hold together in a log read from a device.
struct LogIntegrity {
  QList<RepeatedBlock> repeatedBlocks;  // whole blocks, not erased, identical to an earlier one
  int timeReversals = 0;                // steps back in time of more than an hour in the ordered log
  int invalidDates = 0;                 // records of the ordered log without a valid date and time

  // A device that answered with the wrong bytes: its log cannot be trusted as it stands.
  bool Suspect() const { return !repeatedBlocks.isEmpty() || timeReversals > 0; }
};

// Whether a record's time stamp is a date and time of the calendar (a zero year byte is none).
bool HasValidTime(const LogRecord& record);

// Checks a readout's log: its blocks (`log`, 512 bytes each; `whole[n]` when block n came whole) and its
// records in time order. An hour back is no reversal: a device clock that follows daylight saving time
// goes back an hour in autumn.
LogIntegrity CheckLogIntegrity(std::span<const uint8_t> log, const std::vector<bool>& whole,
                               std::span<const LogRecord> ordered);
