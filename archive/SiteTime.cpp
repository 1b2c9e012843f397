#include "archive/SiteTime.h"

#include <QDate>
#include <QFile>
#include <algorithm>

#include "core/ValdError.h"

namespace {

constexpr qint64 SecondsPerDay = 86400;
constexpr qint64 JulianDayOf1970 = 2440588;

// The zone's offsets over a span of time, looked up without asking the zone for every record.
class ZoneOffsets {
 public:
  ZoneOffsets(const QTimeZone& zone, qint64 firstUtc, qint64 lastUtc) : zone_(zone) {
    const QDateTime from = QDateTime::fromSecsSinceEpoch(firstUtc, QTimeZone::utc());
    before_ = zone.offsetFromUtc(from);
    if (!zone.hasTransitions()) return;
    for (const QTimeZone::OffsetData& change :
         zone.transitions(from, QDateTime::fromSecsSinceEpoch(lastUtc, QTimeZone::utc()))) {
      changes_.push_back({change.atUtc.toSecsSinceEpoch(), change.offsetFromUtc});
    }
    AddChangesByRule(firstUtc, lastUtc);
  }

  int At(qint64 utc) const {
    const auto after = std::upper_bound(changes_.begin(), changes_.end(), utc,
                                        [](qint64 time, const Change& change) { return time < change.at; });
    return after == changes_.begin() ? before_ : std::prev(after)->offset;
  }

 private:
  struct Change {
    qint64 at;
    int offset;
  };

  // The zone lists the changes its database spells out, which end with 2037; later ones follow the
  // zone's rule, looked for here day by day and then to the second.
  void AddChangesByRule(qint64 firstUtc, qint64 lastUtc) {
    constexpr qint64 ListedUntil = 2145916800;  // 2038-01-01 00:00 UTC
    qint64 day = std::max(firstUtc, ListedUntil);
    int offset = OffsetAt(day);
    for (; day < lastUtc; day += SecondsPerDay) {
      const qint64 next = std::min(day + SecondsPerDay, lastUtc);
      const int nextOffset = OffsetAt(next);
      if (nextOffset == offset) continue;
      qint64 unchanged = day;
      qint64 changed = next;
      while (changed - unchanged > 1) {
        const qint64 middle = unchanged + (changed - unchanged) / 2;
        (OffsetAt(middle) == offset ? unchanged : changed) = middle;
      }
      changes_.push_back({changed, nextOffset});
      offset = nextOffset;
    }
  }

  int OffsetAt(qint64 utc) const {
    return zone_.offsetFromUtc(QDateTime::fromSecsSinceEpoch(utc, QTimeZone::utc()));
  }
  QTimeZone zone_;
  int before_ = 0;
  std::vector<Change> changes_;
};

}  // namespace

qint64 LocalSeconds(int year, int month, int day, int hour, int minute) {
  return (QDate(year, month, day).toJulianDay() - JulianDayOf1970) * SecondsPerDay + hour * 3600 +
         minute * 60;
}

RecordTime LocalTimeStamp(qint64 localSeconds) {
  const qint64 days =
      localSeconds >= 0 ? localSeconds / SecondsPerDay : (localSeconds - SecondsPerDay + 1) / SecondsPerDay;
  const qint64 clock = localSeconds - days * SecondsPerDay;
  // The date's parts at once: each on its own works the calendar out again.
  int year = 0;
  int month = 0;
  int day = 0;
  QDate::fromJulianDay(days + JulianDayOf1970).getDate(&year, &month, &day);
  return {uint16_t(year), uint8_t(month), uint8_t(day), uint8_t(clock / 3600), uint8_t(clock / 60 % 60)};
}

std::vector<SiteTime> SiteTimesInRingOrder(std::span<const qint64> localTimes, const QTimeZone& zone) {
  std::vector<SiteTime> times(localTimes.size());
  if (localTimes.empty()) return times;
  const auto [first, last] = std::minmax_element(localTimes.begin(), localTimes.end());
  // Two days either side cover every offset a local time in the span can have.
  const ZoneOffsets offsets(zone, *first - 2 * SecondsPerDay, *last + 2 * SecondsPerDay);
  bool secondPass = false;
  for (size_t i = 0; i < localTimes.size(); ++i) {
    const qint64 local = localTimes[i];
    // A transition lies more than a day from any other: the offsets a day before and a day after are
    // the only ones this local time can have.
    const int earlier = offsets.At(local - SecondsPerDay);
    const int later = offsets.At(local + SecondsPerDay);
    const bool earlierFits = offsets.At(local - earlier) == earlier;
    const bool laterFits = earlier != later && offsets.At(local - later) == later;
    SiteTime& time = times[i];
    if (earlierFits && laterFits) {
      const qint64 repeat = qAbs(earlier - later);
      if (!secondPass && i > 0 && localTimes[i - 1] > local && localTimes[i - 1] - local <= repeat)
        secondPass = true;
      time.secondPass = secondPass;
      time.repeated = true;
      time.utc = local - (secondPass ? std::min(earlier, later) : std::max(earlier, later));
      continue;
    }
    secondPass = false;
    if (earlierFits || laterFits) {
      time.utc = local - (earlierFits ? earlier : later);
    } else {
      time.skipped = true;
      time.utc = local - earlier;
    }
  }
  return times;
}

namespace {

// Qt takes any other text for a POSIX zone rule ("Budapest" would be a zone of that name at UTC), so a
// name counts only when the time zone database holds it.
bool InTimeZoneDatabase(const QByteArray& name) {
  if (QTimeZone::isTimeZoneIdAvailable(name)) return true;
  if (name.isEmpty() || name.startsWith('/') || name.contains("..")) return false;
  QFile zoneFile(QStringLiteral("/usr/share/zoneinfo/") + QString::fromLatin1(name));
  return zoneFile.open(QIODevice::ReadOnly) && zoneFile.read(4) == "TZif";
}

}  // namespace

QTimeZone SiteTimeZone(const QString& setting) {
  const QString name = setting.trimmed();
  if (name.isEmpty()) return QTimeZone::systemTimeZone();
  const QTimeZone zone(name.toLatin1());
  if (!zone.isValid() || !InTimeZoneDatabase(name.toLatin1())) {
    throw ValdError(QStringLiteral("Unknown time zone \"%1\": expected a name of the time zone database "
                                   "such as Europe/Budapest")
                        .arg(name));
  }
  return zone;
}
