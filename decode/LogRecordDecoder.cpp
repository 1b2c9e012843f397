#include "decode/LogRecordDecoder.h"

#include <cstdint>

#include "decode/FieldCodec.h"

namespace {

// Record positions (1-based) of the kind and time stamp bytes; value fields end at even positions
// from FirstFieldEnd on, the longest record's last one before its final field at LastFieldEnd.
constexpr int KindPosition = 1;
constexpr int YearPosition = 2;
constexpr int MinutePosition = 6;
constexpr int FirstFieldEnd = 8;
constexpr int LastFieldEnd = 38;

constexpr uint8_t WrittenKind = 'w';
constexpr uint8_t TurnKind = 'x';
constexpr uint8_t ErasedByte = 0xFF;

void AppendRecordKind(QByteArray& out, char& currentRecordKind, uint8_t byte) {
  char kind = char(byte);
  if (byte == TurnKind) {
    currentRecordKind = 'b';
  } else if (byte == WrittenKind) {
    kind = currentRecordKind;
  } else if (byte == ErasedByte) {
    kind = 'n';
  }
  const char text[2] = {kind, ';'};
  out.append(text, 2);
}

// The year byte counts from 2000; a zero byte stays "0" (an empty record, not the year 2000).
void AppendYear(QByteArray& out, uint8_t byte) {
  if (byte == 0) {
    out.append("0;", 2);
    return;
  }
  const int year = 2000 + byte;
  const char text[5] = {char('0' + year / 1000), char('0' + year / 100 % 10), char('0' + year / 10 % 10),
                        char('0' + year % 10), ';'};
  out.append(text, 5);
}

// Month, day, hour and minute: two digits below 10, otherwise as many as the value needs.
void AppendTwoDigits(QByteArray& out, uint8_t byte) {
  char text[4];
  char* p = text;
  if (byte >= 100) *p++ = char('0' + byte / 100);
  *p++ = char('0' + byte / 10 % 10);
  *p++ = char('0' + byte % 10);
  *p++ = ';';
  out.append(text, p - text);
}

}  // namespace

void DecodeLogBlock(std::span<const uint8_t> block, RecordCursor& cursor, const FieldFormat& format,
                    QByteArray& out) {
  // Worked on in locals: appending to `out` could otherwise make the compiler reload them every byte.
  int position = cursor.linePosition;
  char currentRecordKind = cursor.currentRecordKind;
  const int recordLength = cursor.recordLength;
  // A field that would begin in the previous block reads its first byte as 0; with the even record
  // lengths of the device types none does.
  uint8_t previous = 0;
  for (const uint8_t byte : block) {
    if (++position == recordLength) position = LastFieldPosition;
    if (position == KindPosition) {
      AppendRecordKind(out, currentRecordKind, byte);
    } else if (position == YearPosition) {
      AppendYear(out, byte);
    } else if (position <= MinutePosition) {
      AppendTwoDigits(out, byte);
    } else if (position == LastFieldPosition) {
      DecodeField(previous, byte, position, format, out);
      out.append("\r\n", 2);
      position = 0;
    } else if (position >= FirstFieldEnd && position <= LastFieldEnd && position % 2 == 0) {
      DecodeField(previous, byte, position, format, out);
    }
    previous = byte;
  }
  cursor.linePosition = position;
  cursor.currentRecordKind = currentRecordKind;
}
