#include "readout/EarlierRecords.h"

#include <algorithm>
#include <cstring>
#include <span>

#include "decode/LogDecoding.h"
#include "decode/RingOrdering.h"

namespace {

std::span<const uint8_t> LogOf(const QByteArray& image) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(image.constData());
  return image.size() <= LogBlockSize ? std::span<const uint8_t>()
                                      : std::span(bytes + LogBlockSize, size_t(image.size() - LogBlockSize));
}

}  // namespace

std::vector<bool> RecordsInEarlierImage(const QByteArray& image, const QByteArray& earlierImage,
                                        int recordLength) {
  const std::span<const uint8_t> log = LogOf(image);
  const std::span<const uint8_t> earlierLog = LogOf(earlierImage);
  const std::vector<size_t> places = RingOrderPlaces(DecodeRecordKinds(log, recordLength));
  std::vector<bool> held(places.size(), false);
  if (places.empty() || earlierLog.size() != log.size()) return held;
  const std::vector<size_t> earlierPlaces = RingOrderPlaces(DecodeRecordKinds(earlierLog, recordLength));
  // A whole record that lies at the same place with the same bytes decodes the same.
  const auto same = [&](size_t place) {
    const size_t start = place * size_t(recordLength);
    return start + size_t(recordLength) <= log.size() &&
           std::memcmp(log.data() + start, earlierLog.data() + start, size_t(recordLength)) == 0;
  };
  // The device writes on at the ring's newest end and over its oldest: the log is the earlier one less
  // some of its oldest records, then the new ones. Its oldest record is looked for among the earlier
  // ones, and from there the two are walked side by side while they agree.
  const auto start = std::find(earlierPlaces.begin(), earlierPlaces.end(), places[0]);
  for (size_t i = 0;
       start + i < earlierPlaces.end() && i < places.size() && start[i] == places[i] && same(places[i]); ++i)
    held[i] = true;
  return held;
}
