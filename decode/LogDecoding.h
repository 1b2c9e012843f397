#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "core/LogRecord.h"
#include "decode/DeviceCatalogue.h"

// Bytes in one log block, the reply to a log block request.
constexpr int LogBlockSize = 512;

// Decodes a log, its blocks one after another from log byte 0, record by record in memory order: the
// record kind, the time stamp (year, month, day, hour, minute) and every value field by DecodeField.
// A record may run across a block boundary. A "w" record takes the current kind, which is "a" at the
// start and "b" from the first "x" record (the ring's turn) on; erased memory (0xFF) is kind "n";
// any other kind byte is its own letter, 0 included. Bytes after the last whole record give a record
// cut short, with the columns they hold.
RecordLog DecodeLog(std::span<const uint8_t> log, const DeviceType& type);

// The kinds alone of the records DecodeLog gives for `log`, in memory order.
std::vector<char> DecodeRecordKinds(std::span<const uint8_t> log, int recordLength);
