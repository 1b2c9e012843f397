#include "archive/RawImageDecoding.h"

#include "decode/DeviceCatalogue.h"
#include "decode/LogDecoding.h"
#include "decode/RingOrdering.h"
#include "files/MeasurementLine.h"

std::optional<DecodedImage> DecodeRawImage(const QByteArray& image, const QByteArray& decimalSeparatorText,
                                           char systemDecimalSeparator) {
  if (image.size() < LogBlockSize) return std::nullopt;
  const DeviceType* type = FindDeviceType(uint8_t(image[0]));
  if (!type) return std::nullopt;
  // The blocks as the readout had them: whole blocks after the header.
  const qsizetype logBytes = (image.size() / LogBlockSize - 1) * LogBlockSize;
  const auto* bytes = reinterpret_cast<const uint8_t*>(image.constData()) + LogBlockSize;
  RecordLog log = DecodeLog(std::span(bytes, size_t(logBytes)), *type);
  log.records = OrderRing(log.records);
  DecodedImage decoded;
  decoded.lines = FormatMeasurementLines(log.records, log.values,
                                         SeparatorsOf(decimalSeparatorText, systemDecimalSeparator))
                      .Lines();
  decoded.log = std::move(log);
  return decoded;
}
