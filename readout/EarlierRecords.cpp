#include "readout/EarlierRecords.h"

#include <unordered_set>

#include "decode/LogDecoding.h"
#include "decode/RingOrdering.h"

namespace {

// A record's time stamp and values as bytes: equal keys, equal records for the archive.
std::string RecordKey(const LogRecord& record, std::span<const RecordValue> values) {
  std::string key;
  key.reserve(8 + values.size() * 9);
  key.push_back(char(record.timeCount));
  key.append(reinterpret_cast<const char*>(&record.time.year), sizeof record.time.year);
  key.push_back(char(record.time.month));
  key.push_back(char(record.time.day));
  key.push_back(char(record.time.hour));
  key.push_back(char(record.time.minute));
  for (const RecordValue& value : values) {
    key.push_back(char(value.kind));
    if (value.IsNumber()) key.append(reinterpret_cast<const char*>(&value.number), sizeof value.number);
  }
  return key;
}

}  // namespace

std::vector<bool> RecordsInEarlierImage(const RecordLog& log, const QByteArray& earlierImage,
                                        const DeviceType& type) {
  std::vector<bool> held(log.records.size(), false);
  if (earlierImage.size() <= LogBlockSize) return held;
  const auto* bytes = reinterpret_cast<const uint8_t*>(earlierImage.constData()) + LogBlockSize;
  const RecordLog earlier = DecodeLog(std::span(bytes, size_t(earlierImage.size() - LogBlockSize)), type);
  std::unordered_set<std::string> earlierKeys;
  earlierKeys.reserve(earlier.records.size());
  for (const LogRecord& record : OrderRing(earlier.records))
    earlierKeys.insert(RecordKey(record, earlier.Values(record)));
  for (size_t i = 0; i < log.records.size(); ++i)
    held[i] = earlierKeys.contains(RecordKey(log.records[i], log.Values(log.records[i])));
  return held;
}
