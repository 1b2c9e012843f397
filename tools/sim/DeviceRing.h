#pragma once

#include <QByteArray>
#include <optional>

// A ring log as the device writes it: each record at the write point, the point moved on to the next
// slot, turning from the ring's end to slot 0 (the README's ring rules). The devices' logs and every
// simulated one follow these rules, and incremental readouts rely on them.
class DeviceRing {
 public:
  // A cleared log of `logSize` bytes for records of `recordLength` bytes, whose ring turns when a
  // record is written into the slot before `ringEnd` (at least 2, at most the last whole slot).
  DeviceRing(int logSize, int recordLength, int ringEnd);

  // The device's ring as `log` shows it, going on as the device would; its ring turns before `ringEnd`
  // when it has not turned yet. Nothing when the log is no ring as the device writes it, or its write
  // point lies at or past `ringEnd`.
  static std::optional<DeviceRing> Continuing(const QByteArray& log, int recordLength, int ringEnd);

  // Writes `record` (RecordLength bytes, its kind "w") at the write point.
  void Write(const QByteArray& record);
  // Erases the whole log and starts it again from slot 0.
  void Clear();

  const QByteArray& Log() const { return log_; }
  int RingEnd() const { return ringEnd_; }
  int SlotCount() const { return int(log_.size() / recordLength_); }

 private:
  DeviceRing(const QByteArray& log, int recordLength, int ringEnd, int writePoint, bool turned);
  // A marker record: its kind byte, the rest erased.
  void PutMarker(int slot, char kind);

  QByteArray log_;
  int recordLength_;
  int ringEnd_;
  int writePoint_ = 0;
  bool turned_ = false;
};
