#include "decode/LogReadout.h"

#include "decode/DeviceTypes.h"
#include "decode/LogOrdering.h"
#include "decode/LogRecordDecoder.h"
#include "link/Exchanges.h"

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

bool ReadLogBlock(SharedState& state, DeviceLink& link, int block, int fieldType, char systemDecimalSeparator,
                  int requests) {
  const QByteArray request = LogBlockRequest(block);
  bool answered = false;
  for (int attempt = 0; attempt < requests && !answered; ++attempt) {
    answered = ExchangeIntoReceiveBuffer(state, link, request) > 0;
  }
  RecordCursor cursor{state.LinePosition, state.CurrentRecordKind, state.RecordLength};
  DecodeLogBlock(std::span(state.ReceiveBuffer).first<LogBlockSize>(), cursor,
                 {fieldType, state.DecimalSeparatorText, systemDecimalSeparator}, state.OutputText);
  state.LinePosition = cursor.linePosition;
  state.CurrentRecordKind = cursor.currentRecordKind;
  return answered;
}

void ReadLog(SharedState& state, DeviceLink& link, char systemDecimalSeparator, const QString& host,
             ReadoutResult& result, const std::function<void(int block, int blockCount)>& progress) {
  result.host = host;
  link.host = host;
  ExchangeAsText(state, link, MemoryReadRequest(HeaderAddress));
  result.receivedByteCount = state.ReceivedByteCount;
  state.DeviceCode = state.ReceiveBuffer[0];
  state.ChipCode = state.ReceiveBuffer[1];
  const QByteArray header(reinterpret_cast<const char*>(state.ReceiveBuffer.data()), LogBlockSize);

  // The header's dump text is discarded here.
  ResetForReadout(state);
  result.headerRead = true;
  result.rawImage = header;
  result.chip = ChipBlockCount(state.ChipCode);
  result.deviceType = LookUpDeviceType(state.DeviceCode);
  if (!result.deviceType) return;
  const DeviceType& type = *result.deviceType;
  state.RecordLength = type.recordLength;

  // Every block is requested: where the valid log ends follows from the record kinds afterwards.
  const int blockCount = result.chip.blockCount;
  state.OutputText.reserve(qsizetype(blockCount) * LogBlockSize * TextBytesPerLogByte);
  int silentInARow = 0;
  bool deviceGone = false;
  for (int block = 0; block < blockCount; ++block) {
    const int requests = deviceGone ? 1 : RequestsPerBlock;
    const bool answered = ReadLogBlock(state, link, block, type.fieldType, systemDecimalSeparator, requests);
    result.receivedByteCount = state.ReceivedByteCount;
    result.rawImage.append(reinterpret_cast<const char*>(state.ReceiveBuffer.data()), LogBlockSize);
    if (answered) {
      silentInARow = 0;
    } else {
      result.blocksWithoutReply.append(block);
      deviceGone = deviceGone || ++silentInARow >= SilentBlocksUntilGone;
    }
    if (progress) progress(block, blockCount);
  }

  SortDecodedRecords(state);
  result.decodedText = state.DecodedLines.Text();
  result.logText = state.LogLines.Text();
}
