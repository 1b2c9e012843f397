#pragma once

#include <QTimeZone>
#include <functional>
#include <queue>
#include <vector>

#include "archive/ArchivedLine.h"

// Puts a device's records, read in the archive key's order (local time first), into time order as they
// come: UTC time first, the one that does not depend on daylight saving (the hour that local time
// repeats when it ends comes after the hour before it), then local time, then the line; records alike
// in all three keep their order. A record's UTC time lies within the site's offsets of its local time,
// so only the records of those few hours wait: any archive size is put in order in little room.
class TimeOrdering {
 public:
  // `mostOffset`: the largest of the records' offsets from UTC, in minutes. Each record is handed to
  // `take` once its turn has come; whether the clock skipped its local time is the site time zone
  // `zone`'s to tell.
  TimeOrdering(int mostOffset, const QTimeZone& zone, std::function<void(ArchivedLine&)> take);

  // The next record in the key's order.
  void Add(ArchivedLine&& record);
  // Hands on every record still waiting: no more follow.
  void Finish();

 private:
  struct Waiting {
    ArchivedLine record;
    qint64 sequence = 0;
  };
  struct Later {
    bool operator()(const Waiting& a, const Waiting& b) const;
  };

  // Marks the skipped local times of the records taken in since, and lets them wait for their turn.
  void Settle();
  void HandOnBefore(qint64 utc);

  qint64 mostOffsetSeconds_;
  QTimeZone zone_;
  std::function<void(ArchivedLine&)> take_;
  std::vector<ArchivedLine> arrived_;
  std::priority_queue<Waiting, std::vector<Waiting>, Later> waiting_;
  qint64 sequence_ = 0;
};
