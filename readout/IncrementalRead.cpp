#include "readout/IncrementalRead.h"

#include "decode/LogDecoding.h"

namespace {

constexpr char WrittenKind = 'w';

}  // namespace

std::optional<IncrementalRead> IncrementalRead::Plan(const QByteArray& earlierLog, int recordLength,
                                                     int blockCount, QString& reason) {
  if (recordLength <= 0 || blockCount <= 0 || earlierLog.size() != qsizetype(blockCount) * LogBlockSize) {
    reason = QStringLiteral("the archived image does not fit the device's memory");
    return std::nullopt;
  }
  const int recordCount = int(earlierLog.size() / recordLength);
  int writePoint = 0;
  while (writePoint < recordCount && earlierLog[qsizetype(writePoint) * recordLength] == WrittenKind)
    ++writePoint;
  if (writePoint == 0 || writePoint == recordCount) {
    reason = QStringLiteral("the archived image shows no newest record before a write point");
    return std::nullopt;
  }
  return IncrementalRead(earlierLog, recordLength, blockCount, writePoint - 1);
}

IncrementalRead::IncrementalRead(const QByteArray& earlierLog, int recordLength, int blockCount,
                                 int newestRecord)
    : earlier_(earlierLog),
      log_(earlierLog),
      recordLength_(recordLength),
      blockCount_(blockCount),
      recordCount_(int(earlierLog.size() / recordLength)),
      newestRecord_(newestRecord),
      firstBlock_(newestRecord * recordLength / LogBlockSize),
      next_(firstBlock_),
      read_(size_t(blockCount), false) {}

IncrementalRead::Step IncrementalRead::Take(const QByteArray& block) {
  const int taken = next_;
  log_.replace(qsizetype(taken) * LogBlockSize, LogBlockSize, block.left(LogBlockSize));
  read_[size_t(taken)] = true;
  ++blocksRead_;
  next_ = (taken + 1) % blockCount_;
  if (blocksRead_ == blockCount_) return NewestRecordKept() ? Step::Done : Step::Stale;
  if (!RecordRead(newestRecord_)) return Step::Continue;
  if (!NewestRecordKept()) return Step::Stale;
  const std::optional<int> writePoint = NewWritePoint();
  return writePoint && UnchangedPast(*writePoint, taken) ? Step::Done : Step::Continue;
}

bool IncrementalRead::RecordRead(int record) const {
  const int first = record * recordLength_ / LogBlockSize;
  const int last = ((record + 1) * recordLength_ - 1) / LogBlockSize;
  for (int block = first; block <= last; ++block) {
    if (!read_[size_t(block)]) return false;
  }
  return true;
}

bool IncrementalRead::NewestRecordKept() const {
  const qsizetype start = qsizetype(newestRecord_) * recordLength_;
  return log_.mid(start, recordLength_) == earlier_.mid(start, recordLength_);
}

std::optional<int> IncrementalRead::NewWritePoint() const {
  for (int step = 1; step < recordCount_; ++step) {
    const int record = (newestRecord_ + step) % recordCount_;
    if (!RecordRead(record)) return std::nullopt;
    if (log_[qsizetype(record) * recordLength_] != WrittenKind) return record;
  }
  return std::nullopt;
}

bool IncrementalRead::UnchangedPast(int writePoint, int block) const {
  const qsizetype blockStart = qsizetype(block) * LogBlockSize;
  const qsizetype blockEnd = blockStart + LogBlockSize;
  const qsizetype pastWritePoint = qsizetype(writePoint + 1) * recordLength_;
  // Where the bytes after the write point begin in this block: the whole block when the write point lies
  // in a block read before it (the ring's start after its end included).
  const int writePointBlock = int((pastWritePoint - 1) / LogBlockSize);
  const int sinceFirst = (block - firstBlock_ + blockCount_) % blockCount_;
  const int writePointSinceFirst = (writePointBlock - firstBlock_ + blockCount_) % blockCount_;
  qsizetype from = blockStart;
  if (writePointSinceFirst == sinceFirst) {
    from = pastWritePoint;
  } else if (writePointSinceFirst > sinceFirst) {
    return false;
  }
  if (from >= blockEnd) return false;
  return log_.mid(from, blockEnd - from) == earlier_.mid(from, blockEnd - from);
}
