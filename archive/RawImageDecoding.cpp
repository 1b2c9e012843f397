#include "archive/RawImageDecoding.h"

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
  RecordCursor cursor{0, 'a', type->recordLength};
  const FieldFormat format{type->fieldType, decimalSeparatorText, systemDecimalSeparator};
  const auto* bytes = reinterpret_cast<const uint8_t*>(image.constData());
  for (qsizetype offset = LogBlockSize; offset + LogBlockSize <= image.size(); offset += LogBlockSize) {
    DecodeLogBlock(std::span(bytes + offset, LogBlockSize), cursor, format, state.OutputText);
  }
  SortDecodedRecords(state);
  return state.LogLines.Lines();
}
