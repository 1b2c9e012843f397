#include "archive/TimeOrdering.h"

#include <tuple>

#include "archive/SiteTime.h"

namespace {

// Records are settled a batch at a time: the time zone's offsets are looked up once for each.
constexpr size_t SettleBatch = 4096;

}  // namespace

bool TimeOrdering::Later::operator()(const Waiting& a, const Waiting& b) const {
  return std::tie(a.record.timeUtc, a.record.time, a.record.line, a.sequence) >
         std::tie(b.record.timeUtc, b.record.time, b.record.line, b.sequence);
}

TimeOrdering::TimeOrdering(int mostOffset, const QTimeZone& zone, std::function<void(ArchivedLine&)> take)
    : mostOffsetSeconds_(qint64(mostOffset) * 60), zone_(zone), take_(std::move(take)) {
  arrived_.reserve(SettleBatch);
}

void TimeOrdering::Add(ArchivedLine&& record) {
  arrived_.push_back(std::move(record));
  if (arrived_.size() < SettleBatch) return;
  const qint64 lastLocal = arrived_.back().time;
  Settle();
  // The records still to come are no earlier in local time, so none is earlier in UTC than this.
  HandOnBefore(lastLocal - mostOffsetSeconds_);
}

void TimeOrdering::Finish() {
  Settle();
  while (!waiting_.empty()) {
    Waiting next = std::move(const_cast<Waiting&>(waiting_.top()));
    waiting_.pop();
    take_(next.record);
  }
}

void TimeOrdering::Settle() {
  std::vector<qint64> localTimes;
  localTimes.reserve(arrived_.size());
  for (const ArchivedLine& record : arrived_) localTimes.push_back(record.time);
  const std::vector<SiteTime> times = SiteTimesInRingOrder(localTimes, zone_);
  for (size_t i = 0; i < arrived_.size(); ++i) {
    arrived_[i].skipped = times[i].skipped;
    waiting_.push({std::move(arrived_[i]), sequence_++});
  }
  arrived_.clear();
}

void TimeOrdering::HandOnBefore(qint64 utc) {
  while (!waiting_.empty() && waiting_.top().record.timeUtc < utc) {
    Waiting next = std::move(const_cast<Waiting&>(waiting_.top()));
    waiting_.pop();
    take_(next.record);
  }
}
