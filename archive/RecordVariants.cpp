#include "archive/RecordVariants.h"

#include <algorithm>
#include <numeric>

QString VariantColumns() {
  QString columns = QStringLiteral("time, second_pass, variant, readout_id, line");
  for (int channel = 1; channel <= ArchivedLine::ChannelCount; ++channel)
    columns += QStringLiteral(", v%1").arg(channel);
  return columns;
}

std::vector<FreshRecord> FreshRecords(const std::vector<const ArchivedLine*>& records,
                                      std::vector<ArchivedVariant> archived) {
  std::vector<size_t> order(records.size());
  std::iota(order.begin(), order.end(), size_t(0));
  // A readout's records come sorted (PrepareArchivedLines).
  const auto keyLess = [&](size_t a, size_t b) { return RecordKeyLess(*records[a], *records[b]); };
  if (!std::is_sorted(order.begin(), order.end(), keyLess))
    std::stable_sort(order.begin(), order.end(), keyLess);
  const auto archivedLess = [](const ArchivedVariant& a, const ArchivedVariant& b) {
    return std::tie(a.time, a.secondPass, a.variant) < std::tie(b.time, b.secondPass, b.variant);
  };
  if (!std::is_sorted(archived.begin(), archived.end(), archivedLess))
    std::sort(archived.begin(), archived.end(), archivedLess);

  std::vector<FreshRecord> fresh;
  std::vector<const ArchivedLine::Values*> known;  // the values of the time and pass at hand
  auto next = archived.begin();
  for (size_t k = 0; k < order.size();) {
    const ArchivedLine& first = *records[order[k]];
    const auto before = [&](const ArchivedVariant& a) {
      return std::tie(a.time, a.secondPass) < std::tie(first.time, first.secondPass);
    };
    while (next != archived.end() && before(*next)) ++next;
    known.clear();
    int variant = 0;
    for (; next != archived.end() && next->time == first.time && next->secondPass == first.secondPass;
         ++next) {
      known.push_back(&next->values);
      variant = std::max(variant, next->variant + 1);
    }
    for (; k < order.size() && !RecordKeyLess(first, *records[order[k]]); ++k) {
      const ArchivedLine& record = *records[order[k]];
      const bool archivedAlready =
          std::any_of(known.begin(), known.end(),
                      [&](const ArchivedLine::Values* values) { return SameValues(*values, record.values); });
      if (archivedAlready) continue;
      known.push_back(&record.values);
      fresh.push_back({order[k], variant++});
    }
  }
  return fresh;
}
