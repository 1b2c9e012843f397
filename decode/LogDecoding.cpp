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

char RecordKind(uint8_t byte, char& currentKind) {
  if (byte == TurnKind) {
    currentKind = 'b';
    return char(byte);
  }
  if (byte == WrittenKind) return currentKind;
  if (byte == ErasedByte) return 'n';
  return char(byte);
}

// Decodes the `available` bytes of one record (all of them but for a record cut short), its values
// into the log's values from `firstValue` on, where there is room for them.
void DecodeRecord(const uint8_t* bytes, int available, int recordLength, const RecordFields& fields,
                  char& currentKind, uint32_t firstValue, RecordLog& log) {
  LogRecord record;
  record.kind = RecordKind(bytes[0], currentKind);
  const int stamp = std::min(available, StampBytes);
  record.timeCount = uint8_t(stamp - 1);
  if (stamp > 1) record.time.year = bytes[1] == 0 ? 0 : uint16_t(2000 + bytes[1]);
  if (stamp > 2) record.time.month = bytes[2];
  if (stamp > 3) record.time.day = bytes[3];
  if (stamp > 4) record.time.hour = bytes[4];
  if (stamp > 5) record.time.minute = bytes[5];
  record.firstValue = firstValue;
  const int valueCount = DecodeRecordFields(bytes, available, fields, log.values.data() + firstValue);
  record.valueCount = uint32_t(valueCount);
  record.cutShort = available < recordLength;
  log.records.push_back(record);
}

}  // namespace

RecordLog DecodeLog(std::span<const uint8_t> bytes, const DeviceType& type) {
  RecordLog log;
  const int length = type.recordLength;
  if (length <= 0) return log;
  const size_t whole = bytes.size() / size_t(length);
  const int rest = int(bytes.size() % size_t(length));
  const RecordFields fields(length, type.fieldType);
  // Room for every value a record can give, taken back to what the records gave at the end.
  const size_t perRecord = size_t(fields.count * ColumnsPerField(type.fieldType));
  log.records.reserve(whole + 1);
  log.values.resize((whole + 1) * perRecord);
  char currentKind = 'a';
  uint32_t used = 0;
  for (size_t k = 0; k < whole; ++k) {
    DecodeRecord(bytes.data() + k * length, length, length, fields, currentKind, used, log);
    used += log.records.back().valueCount;
  }
  if (rest > 0) {
    // A record cut short is read from a padded copy: its missing bytes are never looked at.
    std::array<uint8_t, 64> padded{};
    std::copy_n(bytes.data() + whole * length, rest, padded.begin());
    DecodeRecord(padded.data(), rest, length, fields, currentKind, used, log);
    used += log.records.back().valueCount;
  }
  log.values.resize(used);
  return log;
}

std::vector<char> DecodeRecordKinds(std::span<const uint8_t> bytes, int recordLength) {
  std::vector<char> kinds;
  if (recordLength <= 0) return kinds;
  kinds.reserve(bytes.size() / size_t(recordLength) + 1);
  char currentKind = 'a';
  for (size_t start = 0; start < bytes.size(); start += size_t(recordLength))
    kinds.push_back(RecordKind(bytes[start], currentKind));
  return kinds;
}
