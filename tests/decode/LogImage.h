#pragma once

#include <QByteArray>
#include <algorithm>
#include <array>
#include <cstdint>
#include <ostream>
#include <string>

#include "core/SharedState.h"
#include "decode/LogDecoding.h"
#include "decode/RingOrdering.h"
#include "files/MeasurementLine.h"
#include "support/ShownLog.h"

// Builders of log memory for the decode tests: records with a fixed date (2023-12-03 14:<minute>) and
// every value field holding the same byte pair.
inline QByteArray RecordImage(uint8_t kind, uint8_t minute, int recordLength, uint8_t b1, uint8_t b2) {
  QByteArray record;
  record.append(char(kind)).append(char(23)).append(char(12)).append(char(3)).append(char(14));
  record.append(char(minute));
  while (record.size() < recordLength) record.append(char(b1)).append(char(b2));
  return record;
}

inline QByteArray ErasedMemory(int bytes) {
  return QByteArray(bytes, char(0xFF));
}

// A catalogue row for a record length and field type.
inline DeviceType TestDeviceType(int recordLength, int fieldType) {
  static const std::string columns(64, 'X');
  const int fields = std::max((recordLength - 6) / 2, 0);
  return {0,
          "TEST",
          recordLength,
          fieldType,
          PageFamily::None,
          DetectionPass::First,
          std::string_view(columns).substr(0, size_t(fields * ColumnsPerField(fieldType)))};
}

// The records of a log image as a readout decodes them; a last partial block is padded with zero bytes
// like a short reply.
inline RecordLog DecodeImageRecords(QByteArray image, int recordLength, int fieldType) {
  if (image.size() % LogBlockSize != 0)
    image.append(QByteArray(LogBlockSize - image.size() % LogBlockSize, '\0'));
  return DecodeLog(std::span(reinterpret_cast<const uint8_t*>(image.constData()), size_t(image.size())),
                   TestDeviceType(recordLength, fieldType));
}

// The decoded text of a log image: every record in memory order as its kind, ";" and its measurement
// line, a whole record closed by CR LF.
inline QByteArray DecodeLogImage(const QByteArray& image, int recordLength, int fieldType,
                                 const QByteArray& setting = ",", char system = '.') {
  const RecordLog log = DecodeImageRecords(image, recordLength, fieldType);
  QByteArray text;
  for (const LogRecord& record : log.records) {
    text.append(record.kind).append(';');
    AppendMeasurementLine(record, log.Values(record), SeparatorsOf(setting, system), text);
    if (!record.cutShort) text.append("\r\n");
  }
  return text;
}

// A log image decoded and ordered as a readout does: DecodedLines and LogRecords, written with the
// DecimalSeparator setting `setting`.
inline SharedState ReadImage(const QByteArray& image, int recordLength = 10, int fieldType = 1,
                             const QByteArray& setting = ",", char system = '.') {
  RecordLog log = DecodeImageRecords(image, recordLength, fieldType);
  const LineSeparators separators = SeparatorsOf(setting, system);
  SharedState state;
  state.DecodedLines = FormatDecodedLines(log.records, log.values, separators);
  log.records = OrderRing(log.records);
  state.DecimalSeparatorText = setting;
  state.LogRecords = std::move(log);
  return state;
}

// Byte texts in failure messages as text, not as lists of characters.
inline void PrintTo(const QByteArray& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}
