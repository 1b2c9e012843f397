#pragma once

#include <span>
#include <vector>

#include "core/LogRecord.h"

// The records of a decoded log that count: those before the first record whose kind byte is 0 (a
// block that gave nothing reads as zeros, and nothing after such a record is taken).
std::span<const LogRecord> RecordsBeforeKindZero(std::span<const LogRecord> memoryOrder);

// Puts the records of a ring log (in memory order) into time order. The records after the ring's turn
// ("b", in memory order) come first, then those before it ("a"); both groups are taken only from above
// the first end record ("e" or "f") and before the first record of kind 0, and an "f" end leaves out
// the "b" group. Every other record ("x", "n", any other kind) is dropped.
std::vector<LogRecord> OrderRing(std::span<const LogRecord> memoryOrder);

// The places in memory order of the records OrderRing takes, in its order, for records of `kinds`.
std::vector<size_t> RingOrderPlaces(std::span<const char> kinds);
