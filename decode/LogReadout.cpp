#include "decode/LogReadout.h"

#include "decode/DeviceTypes.h"
#include "decode/LogOrdering.h"
#include "decode/LogRecordDecoder.h"
#include "files/MeasurementFile.h"
#include "link/Exchanges.h"
#include "views/RenderViews.h"

namespace {

// A block without a reply is asked for once more while the device still seems to be there.
constexpr int RequestsPerBlock = 2;
// After this many unanswered blocks in a row the device is taken as gone: no more second requests,
// which would only double the wait for a device that no longer answers.
constexpr int SilentBlocksUntilGone = 3;

// Decoded text per log byte, roughly: room reserved once instead of growing the text block by block.
constexpr int TextBytesPerLogByte = 3;

void ResetForReadout(SharedState& state, WindowModel& view) {
  view.memo1.clear();
  view.memo2.clear();
  state.ReceivedByteCount = 0;
  state.OutputText.clear();
  state.CurrentRecordKind = 'a';
  state.DecodedLines.Clear();
  state.LogLines.Clear();
  state.LinePosition = 0;
}

}  // namespace

bool ReadLogBlock(SharedState& state, WindowModel& view, DeviceLink& link, int block, int fieldType,
                  char systemDecimalSeparator, int requests) {
  const QByteArray request = LogBlockRequest(block);
  bool answered = false;
  for (int attempt = 0; attempt < requests && !answered; ++attempt) {
    answered = ExchangeIntoReceiveBuffer(state, view, link, request) > 0;
  }
  RecordCursor cursor{state.LinePosition, state.CurrentRecordKind, state.RecordLength};
  DecodeLogBlock(std::span(state.ReceiveBuffer).first<LogBlockSize>(), cursor,
                 {fieldType, state.DecimalSeparatorText, systemDecimalSeparator}, state.OutputText);
  state.LinePosition = cursor.linePosition;
  state.CurrentRecordKind = cursor.currentRecordKind;
  return answered;
}

ReadoutReport ReadDeviceLog(SharedState& state, WindowModel& view, DeviceLink& link, const Environment& env,
                            const QString& host,
                            const std::function<void(int block, int blockCount)>& progress) {
  ReadoutReport report;
  link.host = host;
  ExchangeAsText(state, view, link, MemoryReadRequest(HeaderAddress));
  state.DeviceCode = state.ReceiveBuffer[0];
  state.ChipCode = state.ReceiveBuffer[1];

  // The header's dump text is discarded here.
  ResetForReadout(state, view);

  const ChipInfo chip = ChipBlockCount(state.ChipCode);
  if (chip.chipText != nullptr) view.statusPanels[3] = chip.chipText;

  const std::optional<DeviceType> type = LookUpDeviceType(state.DeviceCode);
  if (!type) {
    view.labelDevice = "No device";
    return report;
  }
  report.deviceFound = true;
  state.RecordLength = type->recordLength;
  view.labelDevice = type->name;

  // Every block is requested: where the valid log ends follows from the record kinds afterwards.
  state.OutputText.reserve(qsizetype(chip.blockCount) * LogBlockSize * TextBytesPerLogByte);
  int silentInARow = 0;
  bool deviceGone = false;
  for (int block = 0; block < chip.blockCount; ++block) {
    const int requests = deviceGone ? 1 : RequestsPerBlock;
    if (ReadLogBlock(state, view, link, block, type->fieldType, env.systemDecimalSeparator, requests)) {
      silentInARow = 0;
    } else {
      report.blocksWithoutReply.append(block);
      deviceGone = deviceGone || ++silentInARow >= SilentBlocksUntilGone;
    }
    if (progress) progress(block, chip.blockCount);
  }

  SortDecodedRecords(state);
  view.memo1 = state.DecodedLines.Text();
  view.memo2 = state.LogLines.Text();
  RenderViews(state, view, env);
  report.measurementFile = SaveAutomaticMeasurementFile(state, env);
  return report;
}
