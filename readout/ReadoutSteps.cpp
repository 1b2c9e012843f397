#include "readout/ReadoutSteps.h"

#include "decode/LogDecoding.h"
#include "decode/RingOrdering.h"

#include <utility>

namespace {

// A block without a full reply is asked for once more while the device still seems to be there.
constexpr int RequestsPerBlock = 2;
// After this many unanswered blocks in a row the device is taken as gone: no more second requests,
// which would only double the wait for a device that no longer answers.
constexpr int SilentBlocksUntilGone = 3;

void ResetForReadout(SharedState& state) {
  state.ReceivedByteCount = 0;
  state.OutputText.clear();
  state.CurrentRecordKind = 'a';
  state.DecodedLines.Clear();
  state.LogLines.Clear();
  state.LogRecords.Clear();
  state.LinePosition = 0;
}

}  // namespace

void TakeLogHeader(SharedState& state, ReadoutResult& result) {
  result.receivedByteCount = state.ReceivedByteCount;
  state.DeviceCode = state.ReceiveBuffer[0];
  state.ChipCode = state.ReceiveBuffer[1];
  const QByteArray header(reinterpret_cast<const char*>(state.ReceiveBuffer.data()), LogBlockSize);
  ResetForReadout(state);
  result.headerRead = true;
  result.rawImage = header;
  result.chip = ChipBlockCount(state.ChipCode);
  result.deviceType = LookUpDeviceType(state.DeviceCode);
  if (!result.deviceType) return;
  state.RecordLength = result.deviceType->recordLength;
  result.rawImage.reserve(qsizetype(result.chip.blockCount + 1) * LogBlockSize);
}

bool BlockRequests::AskAgain(int replyBytes) const {
  return ClassifyBlockReply(replyBytes) != BlockReplyKind::Full &&
         requestsMade < (deviceGone ? 1 : RequestsPerBlock);
}

void BlockRequests::BlockDone(int replyBytes, ReadoutResult& result) {
  const BlockReplyKind reply = ClassifyBlockReply(replyBytes);
  if (reply != BlockReplyKind::Full) result.blocksWithoutReply.append({block, replyBytes});
  if (reply != BlockReplyKind::None) {
    silentInARow = 0;
  } else {
    deviceGone = deviceGone || ++silentInARow >= SilentBlocksUntilGone;
  }
  ++block;
  requestsMade = 0;
}

void KeepRawBlock(const SharedState& state, ReadoutResult& result) {
  result.rawImage.append(reinterpret_cast<const char*>(state.ReceiveBuffer.data()), LogBlockSize);
}

void FinishLog(ReadoutResult& result) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(result.rawImage.constData());
  result.log =
      DecodeLog(std::span(bytes, size_t(result.rawImage.size())).subspan(LogBlockSize), *result.deviceType);
  std::vector<LogRecord> ordered = OrderRing(result.log.records);
  result.memoryOrder = std::exchange(result.log.records, std::move(ordered));
  result.logRead = true;
}
