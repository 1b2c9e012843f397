#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

#include "decode/RingShape.h"

// Reading only what is new of a ring log whose earlier image is known. The device writes its ring in
// order from its write point, turning from the ring's end to slot 0, so only the slots from the earlier
// write point up to the new one can have changed (with the end "e" and slot 0 when the ring turned
// meanwhile). The blocks holding the earlier newest record and then those slots are asked for one after
// another and patched into the earlier image. Any doubt is a readout of the whole log instead: the
// newest record not where it was with the same bytes, a kind the device does not write on the way, the
// end not where it was, or bytes of the blocks read that lie outside those slots and differ from the
// earlier ones.
class IncrementalRead {
 public:
  enum class Step { Continue, Done, Stale };

  // The plan for `earlierLog` (the log blocks of the earlier image, `blockCount` of 512 bytes) of a device
  // whose records are `recordLength` long; nothing when the earlier image shows no ring as the device
  // writes it (`reason` says why).
  static std::optional<IncrementalRead> Plan(const QByteArray& earlierLog, int recordLength, int blockCount,
                                             QString& reason);

  // The block to ask for next.
  int NextBlock() const { return next_; }
  // Takes the next block's 512 bytes as the device gave them, and says whether to go on, whether the
  // log is complete now, or whether the earlier picture no longer holds (StaleReason says why).
  Step Take(const QByteArray& block);
  // The earlier log with the blocks read so far in their places.
  const QByteArray& Log() const { return log_; }
  int BlocksRead() const { return blocksRead_; }
  const QString& StaleReason() const { return staleReason_; }

 private:
  IncrementalRead(const QByteArray& earlierLog, int recordLength, int blockCount, const RingShape& earlier);
  // Follows the ring as far as the blocks read allow.
  Step Walk();
  // The write point is found: the bytes read beside the walked slots must be the earlier ones.
  Step Finish();
  Step Stale(const char* reason);
  // The first block of `slot` not read yet; none when the whole slot is read.
  std::optional<int> UnreadBlockOf(int slot) const;
  bool SameAsEarlier(int slot) const;

  QByteArray earlier_;
  QByteArray log_;
  int recordLength_;
  int slotCount_;
  std::optional<int> newest_;  // the earlier newest record, until it is found unchanged
  std::optional<int> end_;     // the ring's end, once known
  int slot_;                   // the slot the walk looks at next
  int slotsWalked_ = 0;
  std::vector<bool> walked_;  // the slots the device may have written since
  std::vector<bool> read_;    // per block
  int next_ = 0;
  int blocksRead_ = 0;
  QString staleReason_;
};
