#include "readout/IncrementalRead.h"

#include "decode/LogDecoding.h"

std::optional<IncrementalRead> IncrementalRead::Plan(const QByteArray& earlierLog, int recordLength,
                                                     int blockCount, QString& reason) {
  if (recordLength <= 0 || blockCount <= 0 || earlierLog.size() != qsizetype(blockCount) * LogBlockSize) {
    reason = QStringLiteral("the archived image does not fit the device's memory");
    return std::nullopt;
  }
  const std::optional<RingShape> shape = RingShapeOf(earlierLog, recordLength);
  if (!shape) {
    reason = QStringLiteral("the archived image shows no ring as the device writes it");
    return std::nullopt;
  }
  return IncrementalRead(earlierLog, recordLength, blockCount, *shape);
}

IncrementalRead::IncrementalRead(const QByteArray& earlierLog, int recordLength, int blockCount,
                                 const RingShape& earlier)
    : earlier_(earlierLog),
      log_(earlierLog),
      recordLength_(recordLength),
      slotCount_(int(earlierLog.size() / recordLength)),
      newest_(earlier.NewestSlot()),
      end_(earlier.end),
      slot_(earlier.writePoint),
      walked_(size_t(slotCount_), false),
      read_(size_t(blockCount), false) {
  next_ = *UnreadBlockOf(newest_.value_or(slot_));
}

IncrementalRead::Step IncrementalRead::Take(const QByteArray& block) {
  log_.replace(qsizetype(next_) * LogBlockSize, LogBlockSize, block.left(LogBlockSize));
  read_[size_t(next_)] = true;
  ++blocksRead_;
  return Walk();
}

IncrementalRead::Step IncrementalRead::Walk() {
  if (newest_) {
    if (const std::optional<int> unread = UnreadBlockOf(*newest_)) {
      next_ = *unread;
      return Step::Continue;
    }
    if (!SameAsEarlier(*newest_)) return Stale("the archived newest record is no longer where it was");
    newest_.reset();
  }
  while (slotsWalked_ <= slotCount_) {
    if (const std::optional<int> unread = UnreadBlockOf(slot_)) {
      next_ = *unread;
      return Step::Continue;
    }
    walked_[size_t(slot_)] = true;
    ++slotsWalked_;
    const char kind = log_[qsizetype(slot_) * recordLength_];
    if (end_ && slot_ == *end_) {
      if (kind != 'e') return Stale("the ring's end is no longer where it was");
      slot_ = 0;
      continue;
    }
    switch (kind) {
      case 'w':
        ++slot_;
        if (slot_ == slotCount_) return Stale("the ring has no end");
        break;
      case 'x':
        // A write point of a turned ring: one that the walk came to over the ring's end.
        if (!end_) return Stale("the ring does not go on from the archived write point");
        return Finish();
      case 'f':
        if (end_) return Stale("the ring does not go on from the archived write point");
        return Finish();
      case 'e':
        // The ring turned since: the device goes on from slot 0.
        if (end_) return Stale("the ring's end is no longer where it was");
        end_ = slot_;
        slot_ = 0;
        break;
      default:
        return Stale("the ring does not go on from the archived write point");
    }
  }
  return Stale("the ring does not go on from the archived write point");
}

IncrementalRead::Step IncrementalRead::Finish() {
  for (size_t block = 0; block < read_.size(); ++block) {
    if (!read_[block]) continue;
    for (qsizetype at = qsizetype(block) * LogBlockSize; at < qsizetype(block + 1) * LogBlockSize; ++at) {
      const qsizetype slot = at / recordLength_;
      if (slot < slotCount_ && walked_[size_t(slot)]) continue;
      if (log_[at] != earlier_[at]) return Stale("the memory beside the new records changed");
    }
  }
  return Step::Done;
}

IncrementalRead::Step IncrementalRead::Stale(const char* reason) {
  staleReason_ = QString::fromLatin1(reason);
  return Step::Stale;
}

std::optional<int> IncrementalRead::UnreadBlockOf(int slot) const {
  const qsizetype start = qsizetype(slot) * recordLength_;
  for (qsizetype block = start / LogBlockSize; block <= (start + recordLength_ - 1) / LogBlockSize; ++block) {
    if (!read_[size_t(block)]) return int(block);
  }
  return std::nullopt;
}

bool IncrementalRead::SameAsEarlier(int slot) const {
  const qsizetype start = qsizetype(slot) * recordLength_;
  return log_.mid(start, recordLength_) == earlier_.mid(start, recordLength_);
}
