#include "readout/EarlierRecords.h"

#include <algorithm>
#include <cstring>

#include "decode/LogDecoding.h"
#include "decode/RingOrdering.h"

namespace {

// Whether two records, each of its own log, have the same time stamp and values.
bool SameRecord(const LogRecord& a, const RecordLog& aLog, const LogRecord& b, const RecordLog& bLog) {
  if (a.timeCount != b.timeCount || a.time != b.time || a.valueCount != b.valueCount) return false;
  const std::span<const RecordValue> aValues = aLog.Values(a);
  const std::span<const RecordValue> bValues = bLog.Values(b);
  return std::equal(
      aValues.begin(), aValues.end(), bValues.begin(), [](const RecordValue& x, const RecordValue& y) {
        return x.kind == y.kind && (!x.IsNumber() || std::memcmp(&x.number, &y.number, sizeof x.number) == 0);
      });
}

}  // namespace

std::vector<bool> RecordsInEarlierImage(const RecordLog& log, const QByteArray& earlierImage,
                                        const DeviceType& type) {
  std::vector<bool> held(log.records.size(), false);
  if (earlierImage.size() <= LogBlockSize || log.records.empty()) return held;
  const auto* bytes = reinterpret_cast<const uint8_t*>(earlierImage.constData()) + LogBlockSize;
  const RecordLog earlier = DecodeLog(std::span(bytes, size_t(earlierImage.size() - LogBlockSize)), type);
  const std::vector<LogRecord> earlierRing = OrderRing(earlier.records);
  // The device writes on at the ring's newest end and over its oldest: the log is the earlier one less
  // some of its oldest records, then the new ones. Its oldest record is looked for among the earlier
  // ones, and from there the two are walked side by side while they agree.
  const auto start = std::find_if(earlierRing.begin(), earlierRing.end(), [&](const LogRecord& record) {
    return SameRecord(log.records[0], log, record, earlier);
  });
  for (size_t i = 0; start + i < earlierRing.end() && i < log.records.size() &&
                     SameRecord(log.records[i], log, start[i], earlier);
       ++i)
    held[i] = true;
  return held;
}
