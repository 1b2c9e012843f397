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

void AppendRecordKind(SharedState& state, uint8_t byte) {
  char kind = char(byte);
  if (byte == TurnKind) {
    state.CurrentRecordKind = 'b';
  } else if (byte == WrittenKind) {
    kind = state.CurrentRecordKind;
  } else if (byte == ErasedByte) {
    kind = 'n';
  }
  const char text[2] = {kind, ';'};
  state.OutputText.append(text, 2);
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

void DecodeLogBlock(SharedState& state, int fieldType, char systemDecimalSeparator) {
  for (int i = 0; i < LogBlockSize; ++i) {
    const uint8_t byte = state.ReceiveBuffer[i];
    if (++state.LinePosition == state.RecordLength) state.LinePosition = LastFieldPosition;
    const int position = state.LinePosition;
    if (position == KindPosition) {
      AppendRecordKind(state, byte);
    } else if (position == YearPosition) {
      AppendYear(state.OutputText, byte);
    } else if (position <= MinutePosition) {
      AppendTwoDigits(state.OutputText, byte);
    } else if (position == LastFieldPosition) {
      DecodeField(state, i, fieldType, systemDecimalSeparator);
      state.OutputText.append("\r\n", 2);
      state.LinePosition = 0;
    } else if (position >= FirstFieldEnd && position <= LastFieldEnd && position % 2 == 0) {
      DecodeField(state, i, fieldType, systemDecimalSeparator);
    }
  }
}
