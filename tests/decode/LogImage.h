#pragma once

#include <QByteArray>
#include <cstdint>
#include <ostream>

#include "core/SharedState.h"
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

// Resets the readout state the way a readout starts it.
inline void StartReadout(SharedState& state, int recordLength) {
  state.OutputText.clear();
  state.LinePosition = 0;
  state.CurrentRecordKind = 'a';
  state.RecordLength = recordLength;
}

// Decodes a log image block by block through ReceiveBuffer, as the readout does; a last partial
// block is padded with zero bytes like a short reply.
inline void DecodeLogImage(SharedState& state, const QByteArray& image, int fieldType, char systemSeparator) {
  for (qsizetype offset = 0; offset < image.size(); offset += LogBlockSize) {
    state.ReceiveBuffer.fill(0);
    const QByteArray block = image.mid(offset, LogBlockSize);
    std::copy(block.begin(), block.end(), state.ReceiveBuffer.begin());
    DecodeLogBlock(state, fieldType, systemSeparator);
  }
}

// Byte texts in failure messages as text, not as lists of characters.
inline void PrintTo(const QByteArray& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}
