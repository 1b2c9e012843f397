#include "decode/RingShape.h"

namespace {

constexpr char WrittenKind = 'w';

// The first slot from `from` on whose kind is not "w"; `slotCount` when there is none.
int FirstUnwritten(const QByteArray& log, int recordLength, int slotCount, int from) {
  int slot = from;
  while (slot < slotCount && log[qsizetype(slot) * recordLength] == WrittenKind) ++slot;
  return slot;
}

}  // namespace

std::optional<int> RingShape::NewestSlot() const {
  if (writePoint > 0) return writePoint - 1;
  if (end && *end > 1) return *end - 1;
  return std::nullopt;
}

std::optional<RingShape> RingShapeOf(const QByteArray& log, int recordLength) {
  if (recordLength <= 0) return std::nullopt;
  const int slotCount = int(log.size() / recordLength);
  const int writePoint = FirstUnwritten(log, recordLength, slotCount, 0);
  if (writePoint == slotCount) return std::nullopt;
  const char kind = log[qsizetype(writePoint) * recordLength];
  if (kind == 'f') return RingShape{writePoint, std::nullopt};
  if (kind != 'x') return std::nullopt;
  const int end = FirstUnwritten(log, recordLength, slotCount, writePoint + 1);
  if (end == slotCount || log[qsizetype(end) * recordLength] != 'e') return std::nullopt;
  return RingShape{writePoint, end};
}
