#include "decode/RingOrdering.h"

#include <algorithm>

std::span<const LogRecord> RecordsBeforeKindZero(std::span<const LogRecord> memoryOrder) {
  const auto zero = std::find_if(memoryOrder.begin(), memoryOrder.end(),
                                 [](const LogRecord& record) { return record.kind == 0; });
  return memoryOrder.first(size_t(zero - memoryOrder.begin()));
}

std::vector<LogRecord> OrderRing(std::span<const LogRecord> memoryOrder) {
  const std::span<const LogRecord> records = RecordsBeforeKindZero(memoryOrder);
  std::vector<LogRecord> ordered;
  ordered.reserve(records.size());
  for (const LogRecord& record : records) {
    if (record.kind == 'f') {
      ordered.clear();
      break;
    }
    if (record.kind == 'e') break;
    if (record.kind == 'b') ordered.push_back(record);
  }
  for (const LogRecord& record : records) {
    if (record.kind == 'f' || record.kind == 'e') break;
    if (record.kind == 'a') ordered.push_back(record);
  }
  return ordered;
}
