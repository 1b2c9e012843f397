#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>
#include <vector>

#include "core/LogRecord.h"
#include "decode/DeviceCatalogue.h"
#include "decode/LogIntegrity.h"
#include "readout/BlockReply.h"

// What a device gave in a readout, as far as the readout got: an error ends a readout half-way and
// what it got until then stays.
struct ReadoutResult {
  QString host;
  int port = 0;                          // the UDP port the device was asked on
  std::optional<int> receivedByteCount;  // ReceivedByteCount after the last exchange (Label1)
  int blockReplyBytes = 0;      // bytes of the block replies: ReceivedByteCount counts anew from the header
  bool identityAsked = false;   // the identity was wanted and asked for
  QByteArray identity;          // the identity reply's text, empty when none came
  bool headerRead = false;      // the header was asked for and the readout state reset
  bool headerAnswered = false;  // the device replied to the header request
  ChipInfo chip{};              // what the header's ChipCode means
  std::optional<DeviceType> deviceType;   // the header's device type; nothing: "No device"
  QList<MissedBlock> blocksWithoutReply;  // blocks without a full reply, in order: the log is incomplete
  QByteArray rawImage;   // the header's 512 bytes, then every block's as received (zeros if none)
  bool logRead = false;  // every block was asked for (or patched into the earlier image) and the log decoded
  bool decodingLeft = false;  // every block is in, and the log is left to the caller to decode
  bool incremental =
      false;              // only the blocks with new records were asked for, patched into the earlier image
  QString fullReason;     // why a readout that could have read only what is new read every block
  int blockRequests = 0;  // log block requests made
  // For a readout of only what is new: the earlier image the blocks read were patched into, and which
  // records of `log` it held as well (RecordsInEarlierImage); both empty for a full readout.
  QByteArray earlierImage;
  std::vector<bool> inEarlierImage;
  // The decoded records: `log` in time order, `memoryOrder` the same records (sharing log's values)
  // as they lie in the device's memory, erased and end records included.
  RecordLog log;
  std::vector<LogRecord> memoryOrder;
  // Records that lie on bytes the device did not send (a block without a full reply), and would have
  // been part of the log: left out, as their values would be made up.
  int lostRecords = 0;
  LogIntegrity integrity;  // what does not hold together in the log as it came

  // The header named a known device type and its log was read.
  bool deviceFound() const { return deviceType.has_value(); }
  int DeviceCode() const { return rawImage.isEmpty() ? 0 : uint8_t(rawImage[0]); }
};

// The steps of a log readout between its exchanges, the same whichever way the exchanges wait.

// After the header's memory read: its 512 bytes as received (zeros where none came) start the raw
// image, and the chip and the device type are looked up from its DeviceCode and ChipCode.
void TakeLogHeader(const QByteArray& header, ReadoutResult& result);

// Which log block is asked for, and how often. Every block is requested: where the valid log ends
// follows from the record kinds afterwards. A block without a full reply (none, short or oversized) is
// requested once more, until the device has left three blocks in a row without any reply: then it is
// taken as gone and the remaining blocks are requested once each. A device that answers wrongly is
// still there.
struct BlockRequests {
  int blockCount = 0;
  int block = 0;         // the block being asked for
  int requestsMade = 0;  // requests for it so far
  int silentInARow = 0;
  bool deviceGone = false;

  bool Done() const { return block >= blockCount; }
  // After a request for the current block, whose reply was `replyBytes` long: whether it is to be asked
  // for once more.
  bool AskAgain(int replyBytes) const;
  // The current block's last request got a reply of `replyBytes` (0: none); a block without a full
  // reply is listed in `result`. On to the next block.
  void BlockDone(int replyBytes, ReadoutResult& result);
};

// After the last block: the raw image's log decoded into records in memory order and put into time
// order. Records on bytes that did not arrive (a block without a reply or with an oversized one, the
// part of a block that a short reply left out) are left out and counted; every record that lies wholly
// on bytes that arrived is kept, also after a gap. Then the log's integrity is checked.
void FinishLog(ReadoutResult& result);
