#include "decode/LogDecoding.h"

#include <algorithm>
#include <array>

#include "decode/FieldCodec.h"

namespace {

constexpr uint8_t WrittenKind = 'w';
constexpr uint8_t TurnKind = 'x';
constexpr uint8_t ErasedByte = 0xFF;

// Bytes of the kind and time stamp at the start of every record; the value fields follow in pairs.
constexpr int StampBytes = 6;
// Record positions (1-based) of the first field's second byte, and of the last byte a field other
// than the record's last can end at.
constexpr int FirstFieldEnd = 8;
constexpr int LastFieldEnd = 38;

char RecordKind(uint8_t byte, char& currentKind) {
  if (byte == TurnKind) {
    currentKind = 'b';
    return char(byte);
  }
  if (byte == WrittenKind) return currentKind;
  if (byte == ErasedByte) return 'n';
  return char(byte);
}

// The position a field ending at record byte `end` (1-based) is decoded at: the record's last byte
// counts as position 99.
int FieldPosition(int end, int recordLength) {
  return end == recordLength ? LastFieldPosition : end;
}

// Decodes the `available` bytes of one record (all of them but for a record cut short).
void DecodeRecord(const uint8_t* bytes, int available, const DeviceType& type, char& currentKind,
                  RecordLog& log) {
  LogRecord record;
  record.kind = RecordKind(bytes[0], currentKind);
  const int stamp = std::min(available, StampBytes);
  record.timeCount = uint8_t(stamp - 1);
  if (stamp > 1) record.time.year = bytes[1] == 0 ? 0 : uint16_t(2000 + bytes[1]);
  if (stamp > 2) record.time.month = bytes[2];
  if (stamp > 3) record.time.day = bytes[3];
  if (stamp > 4) record.time.hour = bytes[4];
  if (stamp > 5) record.time.minute = bytes[5];
  record.firstValue = uint32_t(log.values.size());
  RecordValue fieldValues[2];
  int valueCount = 0;
  for (int end = FirstFieldEnd; end <= available; end += 2) {
    if (end > LastFieldEnd && end != type.recordLength) continue;
    const int count = DecodeField(bytes[end - 2], bytes[end - 1], FieldPosition(end, type.recordLength),
                                  type.fieldType, fieldValues);
    for (int k = 0; k < count; ++k) log.values.push_back(fieldValues[k]);
    valueCount += count;
  }
  record.valueCount = uint32_t(valueCount);
  record.cutShort = available < type.recordLength;
  log.records.push_back(record);
}

}  // namespace

RecordLog DecodeLog(std::span<const uint8_t> bytes, const DeviceType& type) {
  RecordLog log;
  const int length = type.recordLength;
  if (length <= 0) return log;
  const size_t whole = bytes.size() / size_t(length);
  const int rest = int(bytes.size() % size_t(length));
  log.records.reserve(whole + 1);
  log.values.reserve((whole + 1) * size_t(type.ValueColumns()));
  char currentKind = 'a';
  for (size_t k = 0; k < whole; ++k) DecodeRecord(bytes.data() + k * length, length, type, currentKind, log);
  if (rest > 0) {
    // A record cut short is read from a padded copy: its missing bytes are never looked at.
    std::array<uint8_t, 64> padded{};
    std::copy_n(bytes.data() + whole * length, rest, padded.begin());
    DecodeRecord(padded.data(), rest, type, currentKind, log);
  }
  return log;
}
