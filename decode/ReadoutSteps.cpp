#include "decode/ReadoutSteps.h"

#include "decode/LogOrdering.h"
#include "decode/LogRecordDecoder.h"

namespace {

// A block without a reply is asked for once more while the device still seems to be there.
constexpr int RequestsPerBlock = 2;
// After this many unanswered blocks in a row the device is taken as gone: no more second requests,
// which would only double the wait for a device that no longer answers.
constexpr int SilentBlocksUntilGone = 3;

// Decoded text per log byte, roughly: room reserved once instead of growing the text block by block.
constexpr int TextBytesPerLogByte = 3;

void ResetForReadout(SharedState& state) {
  state.ReceivedByteCount = 0;
  state.OutputText.clear();
  state.CurrentRecordKind = 'a';
  state.DecodedLines.Clear();
  state.LogLines.Clear();
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
  state.OutputText.reserve(qsizetype(result.chip.blockCount) * LogBlockSize * TextBytesPerLogByte);
}

bool BlockRequests::AskAgain(bool answered) const {
  return !answered && requestsMade < (deviceGone ? 1 : RequestsPerBlock);
}

void BlockRequests::BlockDone(bool answered, ReadoutResult& result) {
  if (answered) {
    silentInARow = 0;
  } else {
    result.blocksWithoutReply.append(block);
    deviceGone = deviceGone || ++silentInARow >= SilentBlocksUntilGone;
  }
  ++block;
  requestsMade = 0;
}

void KeepRawBlock(const SharedState& state, ReadoutResult& result) {
  result.rawImage.append(reinterpret_cast<const char*>(state.ReceiveBuffer.data()), LogBlockSize);
}

void DecodeReceivedBlock(SharedState& state, int fieldType, char systemDecimalSeparator) {
  RecordCursor cursor{state.LinePosition, state.CurrentRecordKind, state.RecordLength};
  DecodeLogBlock(std::span(state.ReceiveBuffer).first<LogBlockSize>(), cursor,
                 {fieldType, state.DecimalSeparatorText, systemDecimalSeparator}, state.OutputText);
  state.LinePosition = cursor.linePosition;
  state.CurrentRecordKind = cursor.currentRecordKind;
}

void FinishLog(SharedState& state, ReadoutResult& result) {
  SortDecodedRecords(state);
  result.decodedText = state.DecodedLines.Text();
  result.logText = state.LogLines.Text();
}
