#include "archive/RawImageDecoding.h"

#include <cstring>

#include "decode/DeviceTypes.h"
#include "decode/LogOrdering.h"
#include "decode/LogRecordDecoder.h"

std::optional<QList<QByteArray>> DecodeRawImage(const QByteArray& image,
                                                const QByteArray& decimalSeparatorText,
                                                char systemDecimalSeparator) {
  if (image.size() < LogBlockSize) return std::nullopt;
  const std::optional<DeviceType> type = LookUpDeviceType(uint8_t(image[0]));
  if (!type) return std::nullopt;
  SharedState state;
  state.DecimalSeparatorText = decimalSeparatorText;
  state.DeviceCode = type->code;
  state.ChipCode = uint8_t(image[1]);
  state.RecordLength = type->recordLength;
  state.CurrentRecordKind = 'a';
  for (qsizetype offset = LogBlockSize; offset + LogBlockSize <= image.size(); offset += LogBlockSize) {
    std::memcpy(state.ReceiveBuffer.data(), image.constData() + offset, LogBlockSize);
    DecodeLogBlock(state, type->fieldType, systemDecimalSeparator);
  }
  SortDecodedRecords(state);
  return state.LogLines.Lines();
}
