#pragma once

#include <QByteArray>
#include <optional>

// Where a ring log's markers lie, as the device writes them: the write point (an "f" while the ring
// has not turned, an "x" once it has) and, once it has turned, its end "e". Slots are RecordLength
// bytes from the start of the log memory.
struct RingShape {
  int writePoint = 0;
  std::optional<int> end;  // the "e" slot; none while the ring has not turned

  bool Turned() const { return end.has_value(); }
  // The slot of the newest record: the one before the write point, before the end when the write
  // point is slot 0 of a turned ring; none while the log holds no record.
  std::optional<int> NewestSlot() const;
};

// The shape of `log` when its kinds from slot 0 on are those of a ring the device writes: records "w",
// then either the "f" end, or the "x" write point, records "w" and the "e" end. Nothing for any other
// log (a block that gave nothing, a kind the device does not write, no end).
std::optional<RingShape> RingShapeOf(const QByteArray& log, int recordLength);
