#include "tools/sim/DeviceRing.h"

#include "decode/RingShape.h"

namespace {

constexpr char ErasedByte = char(0xFF);

}  // namespace

DeviceRing::DeviceRing(int logSize, int recordLength, int ringEnd)
    : log_(logSize, ErasedByte), recordLength_(recordLength), ringEnd_(ringEnd) {
  Clear();
}

DeviceRing::DeviceRing(const QByteArray& log, int recordLength, int ringEnd, int writePoint, bool turned)
    : log_(log), recordLength_(recordLength), ringEnd_(ringEnd), writePoint_(writePoint), turned_(turned) {}

std::optional<DeviceRing> DeviceRing::Continuing(const QByteArray& log, int recordLength, int ringEnd) {
  const std::optional<RingShape> shape = RingShapeOf(log, recordLength);
  if (!shape) return std::nullopt;
  if (shape->Turned()) return DeviceRing(log, recordLength, *shape->end, shape->writePoint, true);
  if (shape->writePoint >= ringEnd || ringEnd >= int(log.size() / recordLength)) return std::nullopt;
  return DeviceRing(log, recordLength, ringEnd, shape->writePoint, false);
}

void DeviceRing::Write(const QByteArray& record) {
  log_.replace(qsizetype(writePoint_) * recordLength_, recordLength_, record.left(recordLength_));
  const bool turnsNow = writePoint_ + 1 == ringEnd_;
  writePoint_ = turnsNow ? 0 : writePoint_ + 1;
  if (turned_) {
    // Only the kind byte of the slot is written: the rest is the record it takes the place of.
    log_[qsizetype(writePoint_) * recordLength_] = 'x';
  } else if (turnsNow) {
    PutMarker(ringEnd_, 'e');
    log_[0] = 'x';
    turned_ = true;
  } else {
    PutMarker(writePoint_, 'f');
  }
}

void DeviceRing::Clear() {
  log_.fill(ErasedByte);
  writePoint_ = 0;
  turned_ = false;
  PutMarker(0, 'f');
}

void DeviceRing::PutMarker(int slot, char kind) {
  log_.replace(qsizetype(slot) * recordLength_, recordLength_,
               kind + QByteArray(recordLength_ - 1, ErasedByte));
}
