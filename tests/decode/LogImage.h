#pragma once

#include <QByteArray>
#include <algorithm>
#include <array>
#include <cstdint>
#include <ostream>

#include "decode/LogRecordDecoder.h"

// Builders of log memory for the decode tests: records with a fixed date (2023-12-03 14:<minute>) and
// every value field holding the same byte pair.
inline QByteArray LogRecord(uint8_t kind, uint8_t minute, int recordLength, uint8_t b1, uint8_t b2) {
  QByteArray record;
  record.append(char(kind)).append(char(23)).append(char(12)).append(char(3)).append(char(14));
  record.append(char(minute));
  while (record.size() < recordLength) record.append(char(b1)).append(char(b2));
  return record;
}

inline QByteArray ErasedMemory(int bytes) {
  return QByteArray(bytes, char(0xFF));
}

// Decodes a log image block by block from the start of a readout, as the readout does; a last partial
// block is padded with zero bytes like a short reply.
inline QByteArray DecodeLogImage(const QByteArray& image, int recordLength, const FieldFormat& format) {
  QByteArray text;
  RecordCursor cursor{.recordLength = recordLength};
  for (qsizetype offset = 0; offset < image.size(); offset += LogBlockSize) {
    std::array<uint8_t, LogBlockSize> block{};
    const QByteArray bytes = image.mid(offset, LogBlockSize);
    std::copy(bytes.begin(), bytes.end(), block.begin());
    DecodeLogBlock(block, cursor, format, text);
  }
  return text;
}

// Byte texts in failure messages as text, not as lists of characters.
inline void PrintTo(const QByteArray& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}
