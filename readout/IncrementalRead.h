#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

// Reading only what is new of a ring log whose earlier image is known. The device writes its ring in
// order from its write point (the first record whose kind is not "w": the ring's turn "x" or the end
// "f"), so only the blocks from the one holding the newest record up to the new write point can have
// changed. They are asked for one after another, the ring's end followed by its start, and patched into
// the earlier image, until a block shows the earlier bytes just past the new write point: what lies
// beyond was left as it was. The newest record of the earlier image has to be found where it was with
// the same bytes, else the picture is stale (the log was cleared, or the ring went past it) and the log
// is to be read in full.
class IncrementalRead {
 public:
  enum class Step { Continue, Done, Stale };

  // The plan for `earlierLog` (the log blocks of the earlier image, `blockCount` of 512 bytes) of a device
  // whose records are `recordLength` long; nothing when the earlier image gives no newest record before
  // its write point (`reason` says why).
  static std::optional<IncrementalRead> Plan(const QByteArray& earlierLog, int recordLength, int blockCount,
                                             QString& reason);

  // The block to ask for next.
  int NextBlock() const { return next_; }
  // Takes the next block's 512 bytes as the device gave them, and says whether to go on, whether the
  // log is complete now, or whether the earlier picture no longer holds.
  Step Take(const QByteArray& block);
  // The earlier log with the blocks read so far in their places.
  const QByteArray& Log() const { return log_; }
  int BlocksRead() const { return blocksRead_; }

 private:
  IncrementalRead(const QByteArray& earlierLog, int recordLength, int blockCount, int newestRecord);
  bool RecordRead(int record) const;
  bool NewestRecordKept() const;
  // The new write point, once the records after the newest are read as far as it.
  std::optional<int> NewWritePoint() const;
  // Whether the block just read shows the earlier bytes past the new write point.
  bool UnchangedPast(int writePoint, int block) const;

  QByteArray earlier_;
  QByteArray log_;
  int recordLength_;
  int blockCount_;
  int recordCount_;
  int newestRecord_;
  int firstBlock_;
  int next_;
  int blocksRead_ = 0;
  std::vector<bool> read_;
};
