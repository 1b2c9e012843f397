#include "readout/ReadoutQueue.h"

std::optional<qsizetype> ReadoutQueue::TakeNext() {
  const std::lock_guard lock(mutex_);
  if (cancelledAt_ || next_ >= hosts_.size()) return std::nullopt;
  return next_++;
}

bool ReadoutQueue::HasNext() const {
  const std::lock_guard lock(mutex_);
  return !cancelledAt_ && next_ < hosts_.size();
}

void ReadoutQueue::Cancel(qsizetype index) {
  const std::lock_guard lock(mutex_);
  cancelledAt_ = index;
}

QStringList ReadoutQueue::Unread() const {
  const std::lock_guard lock(mutex_);
  return cancelledAt_ ? hosts_.mid(*cancelledAt_) : QStringList();
}
