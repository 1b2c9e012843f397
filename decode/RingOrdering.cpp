#include "decode/RingOrdering.h"

#include <algorithm>

std::span<const LogRecord> RecordsBeforeKindZero(std::span<const LogRecord> memoryOrder) {
  const auto zero = std::find_if(memoryOrder.begin(), memoryOrder.end(),
                                 [](const LogRecord& record) { return record.kind == 0; });
  return memoryOrder.first(size_t(zero - memoryOrder.begin()));
}

std::vector<size_t> RingOrderPlaces(std::span<const char> kinds) {
  const size_t count = size_t(std::find(kinds.begin(), kinds.end(), char(0)) - kinds.begin());
  std::vector<size_t> places;
  places.reserve(count);
  for (size_t k = 0; k < count; ++k) {
    if (kinds[k] == 'f') {
      places.clear();
      break;
    }
    if (kinds[k] == 'e') break;
    if (kinds[k] == 'b') places.push_back(k);
  }
  for (size_t k = 0; k < count; ++k) {
    if (kinds[k] == 'f' || kinds[k] == 'e') break;
    if (kinds[k] == 'a') places.push_back(k);
  }
  return places;
}

std::vector<LogRecord> OrderRing(std::span<const LogRecord> memoryOrder) {
  std::vector<char> kinds(memoryOrder.size());
  std::transform(memoryOrder.begin(), memoryOrder.end(), kinds.begin(),
                 [](const LogRecord& record) { return record.kind; });
  const std::vector<size_t> places = RingOrderPlaces(kinds);
  std::vector<LogRecord> ordered;
  ordered.reserve(places.size());
  for (const size_t place : places) ordered.push_back(memoryOrder[place]);
  return ordered;
}
