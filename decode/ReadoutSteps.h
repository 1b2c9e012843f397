#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

#include "core/SharedState.h"
#include "decode/DeviceTypes.h"

// What a readout did, as far as it got: an error ends a readout half-way and what it did until then
// stays. The decoded lines and the ordered measurement lines themselves are in the shared state
// (DecodedLines, LogLines).
struct ReadoutResult {
  QString host;
  std::optional<int> receivedByteCount;   // ReceivedByteCount after the last exchange (Label1)
  bool headerRead = false;                // the header was asked for and the readout state reset
  bool headerAnswered = false;            // the device replied to the header request
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

// The steps of a log readout between its exchanges, the same whichever way the exchanges wait.

// After the header's memory read (its reply in ReceiveBuffer): its 512 bytes start the raw image,
// DeviceCode and ChipCode are taken from it,
// the readout state reset (the header's dump text discarded), the chip and the device type looked up
// and RecordLength set for a known type.
void TakeLogHeader(SharedState& state, ReadoutResult& result);

// Which log block is asked for, and how often. Every block is requested: where the valid log ends
// follows from the record kinds afterwards. A block without a reply is requested once more, until the
// device has left three blocks in a row unanswered: then it is taken as gone and the remaining blocks
// are requested once each.
struct BlockRequests {
  int blockCount = 0;
  int block = 0;         // the block being asked for
  int requestsMade = 0;  // requests for it so far
  int silentInARow = 0;
  bool deviceGone = false;

  bool Done() const { return block >= blockCount; }
  // After a request for the current block: whether it is to be asked for once more.
  bool AskAgain(bool answered) const;
  // The current block's last request got its answer or none (then it is listed in `result`); on to
  // the next block.
  void BlockDone(bool answered, ReadoutResult& result);
};

// The 512 bytes of the block in ReceiveBuffer, as received (zeros where none came), added to the raw
// image after the header's.
void KeepRawBlock(const SharedState& state, ReadoutResult& result);

// The log block in ReceiveBuffer decoded into OutputText, the record position and kind carried on in
// LinePosition and CurrentRecordKind.
void DecodeReceivedBlock(SharedState& state, int fieldType, char systemDecimalSeparator);

// After the last block: the decoded records put into time order (DecodedLines, LogLines) and the
// texts of both memos.
void FinishLog(SharedState& state, ReadoutResult& result);
