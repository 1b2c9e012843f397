#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

#include "core/SharedState.h"
#include "decode/DeviceTypes.h"
#include "link/DeviceLink.h"

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
  QList<int> blocksWithoutReply;     // log blocks that got no reply, retry included: the log is incomplete
  QByteArray rawImage;               // the header's 512 bytes, then every block's as received (zeros if none)
  QString measurementFile;           // path of the automatic measurement file written, empty if none
  std::optional<int> archivedLines;  // lines the archive gained, once the log was merged into it
  QString archiveError;              // why the merge into the archive failed, empty if it did not
  QString mac;                       // the MAC address the archive step's identity exchange gave, if any

  // The header named a known device type and its log was read.
  bool deviceFound() const { return deviceType.has_value(); }
};

// Requests log block `block` and decodes its 512 bytes into OutputText (DecodeLogBlock). A request
// without a reply is repeated while `requests` allows; a block that never answers decodes as zero
// bytes. Returns whether the device answered.
bool ReadLogBlock(SharedState& state, DeviceLink& link, int block, int fieldType, char systemDecimalSeparator,
                  int requests = 1);

// Reads the whole log of the device at `host`: the header (DeviceCode and ChipCode), every log block,
// the decoded lines (DecodedLines) and the time-ordered measurement lines (LogLines). An unknown device
// code (a silent device included) ends the readout before any block is requested.
//
// A block without a reply is requested once more, until the device has left three blocks in a row
// unanswered: then it is taken as gone and the remaining blocks are requested once each. Blocks that
// stay unanswered decode as zero bytes, which ends the decoded lines there, and are listed in the result.
// `progress` is called after each block with the block's number (from 0) and the number of blocks.
// Socket errors propagate as ValdError; what was decoded so far stays in OutputText and `result`.
void ReadLog(SharedState& state, DeviceLink& link, char systemDecimalSeparator, const QString& host,
             ReadoutResult& result, const std::function<void(int block, int blockCount)>& progress = {});
