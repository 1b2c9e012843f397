#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

#include "core/SharedState.h"
#include "decode/BlockReply.h"
#include "decode/DeviceTypes.h"
#include "link/DeviceLink.h"

// A log block that got no full reply, retry included, and the length of its last reply: 0 for none,
// fewer than 512 bytes for a short one, more for an oversized one.
struct MissedBlock {
  int block = 0;
  int replyBytes = 0;

  BlockReplyKind kind() const { return ClassifyBlockReply(replyBytes); }
  bool operator==(const MissedBlock&) const = default;
};

// What a readout did, as far as it got: an error ends a readout half-way and what it did until then
// stays. The decoded lines and the ordered measurement lines themselves are in the shared state
// (DecodedLines, LogLines).
struct ReadoutResult {
  QString host;
  std::optional<int> receivedByteCount;   // ReceivedByteCount after the last exchange (Label1)
  bool headerRead = false;                // the header was asked for and the readout state reset
  ChipInfo chip{};                        // what the header's ChipCode means
  std::optional<DeviceType> deviceType;   // the header's device type; nothing: "No device"
  std::optional<QByteArray> decodedText;  // Memo1: the decoded records, once every block was read
  std::optional<QByteArray> logText;      // Memo2: the measurement lines in time order
  QList<MissedBlock> blocksWithoutReply;  // blocks without a full reply, in order: the log is incomplete
  QString measurementFile;                // path of the automatic measurement file written, empty if none

  // The header named a known device type and its log was read.
  bool deviceFound() const { return deviceType.has_value(); }
};

// Requests log block `block` and decodes its 512 bytes into OutputText (DecodeLogBlock). A request
// without a full reply is repeated while `requests` allows; the block decodes from the last request's
// reply: zero bytes where it is short or missing, its first 512 bytes where it is oversized. Returns the
// length of that reply (ClassifyBlockReply tells what it was).
int ReadLogBlock(SharedState& state, DeviceLink& link, int block, int fieldType, char systemDecimalSeparator,
                 int requests = 1);

// Reads the whole log of the device at `host`: the header (DeviceCode and ChipCode), every log block,
// the decoded lines (DecodedLines) and the time-ordered measurement lines (LogLines). An unknown device
// code (a silent device included) ends the readout before any block is requested.
//
// A block without a full reply (none, short or oversized) is requested once more, until the device has
// left three blocks in a row unanswered: then it is taken as gone and the remaining blocks are requested
// once each. A device that answers wrongly is still there. Blocks that get no full reply are listed in
// the result; a missing or short reply decodes as zero bytes where the reply ends, which ends the
// decoded lines there.
// `progress` is called after each block with the block's number (from 0) and the number of blocks.
// Socket errors propagate as ValdError; what was decoded so far stays in OutputText and `result`.
void ReadLog(SharedState& state, DeviceLink& link, char systemDecimalSeparator, const QString& host,
             ReadoutResult& result, const std::function<void(int block, int blockCount)>& progress = {});
