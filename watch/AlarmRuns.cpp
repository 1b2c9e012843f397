#include "watch/AlarmRuns.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <tuple>

namespace {

// Which side of its limit a value lies beyond, if any.
std::optional<LimitSide> Beyond(double value, const ChannelLimit& limit) {
  if (limit.low && value < *limit.low) return LimitSide::Low;
  if (limit.high && value > *limit.high) return LimitSide::High;
  return std::nullopt;
}

// Whether a value is back inside the limit of `side` by the limit's hysteresis.
bool BackInside(double value, const ChannelLimit& limit, LimitSide side) {
  return side == LimitSide::High ? value <= *limit.high - limit.hysteresis
                                 : value >= *limit.low + limit.hysteresis;
}

// Minutes from one time stamp to a later one; none between stamps that are no valid date and time.
double MinutesBetween(const RecordTime& from, const RecordTime& to) {
  const QDateTime start = RecordDateTime(from, QTimeZone::utc());
  const QDateTime end = RecordDateTime(to, QTimeZone::utc());
  return start.isValid() && end.isValid() ? double(start.secsTo(end)) / 60 : 0;
}

// One channel's excursion beyond one of its limits as its records go by: the run of records since the
// last gap, how long it has lasted beyond the limit in the runs before, and the alarms it gave.
class Excursion {
 public:
  Excursion(int column, LimitSide side, const ChannelLimit& limit)
      : side(side),
        limitValue(side == LimitSide::Low ? *limit.low : *limit.high),
        delayMinutes(limit.delayMinutes),
        column_(column) {}

  // A record beyond the limit on this side.
  void Beyond(const RecordTime& time, double value) {
    if (!run_) run_ = Alarm{column_, side, limitValue, time, time, 0, value, true};
    run_->end = time;
    run_->records += heldRecords_ + 1;
    heldRecords_ = 0;
    run_->extreme = side == LimitSide::Low ? std::min(run_->extreme, value) : std::max(run_->extreme, value);
    if (lastedMinutes_ + MinutesBetween(run_->start, run_->end) >= delayMinutes) isAlarm_ = true;
  }
  // A record within the hysteresis: the excursion goes on, and the record is part of the run if a
  // record beyond the limit follows it.
  void Hold() {
    if (run_) ++heldRecords_;
  }
  // A gap, the excursion's end or the log's: the run goes into `alarms` once the excursion is an alarm.
  // Returns the alarms the excursion gave so far.
  const std::vector<size_t>& EndRun(std::vector<Alarm>& alarms) {
    if (run_) {
      lastedMinutes_ += MinutesBetween(run_->start, run_->end);
      if (isAlarm_) {
        given_.push_back(alarms.size());
        alarms.push_back(*run_);
      }
    }
    run_.reset();
    heldRecords_ = 0;
    return given_;
  }

  const LimitSide side;

 private:
  const double limitValue;
  const double delayMinutes;
  const int column_;
  std::optional<Alarm> run_;
  int heldRecords_ = 0;
  double lastedMinutes_ = 0;
  bool isAlarm_ = false;
  std::vector<size_t> given_;
};

}  // namespace

std::optional<double> ValueInUnit(const RecordValue& value, const Quantity& quantity) {
  if (value.kind != RecordValue::Kind::Number) return std::nullopt;
  if (quantity.scale == 1) return value.number;
  // Tenths divided by ten are the very numbers "12.5" reads as; times 0.1 some are a bit off.
  return value.number / std::round(1 / quantity.scale);
}

std::vector<Alarm> FindAlarms(const RecordLog& log, const DeviceType& type,
                              std::span<const ChannelLimit> limits) {
  std::vector<Alarm> alarms;
  const int columns = std::min(type.ValueColumns(), int(limits.size()));
  for (int column = 0; column < columns; ++column) {
    const ChannelLimit& limit = limits[size_t(column)];
    if (!limit.IsSet()) continue;
    const Quantity& quantity = QuantityOf(type.columns[size_t(column)]);
    std::optional<Excursion> excursion;
    const auto clear = [&] {
      if (!excursion) return;
      for (const size_t alarm : excursion->EndRun(alarms)) alarms[alarm].open = false;
      excursion.reset();
    };
    for (const LogRecord& record : log.records) {
      if (record.followsLostRecords && excursion) excursion->EndRun(alarms);
      const std::optional<double> value = column < int(record.valueCount)
                                              ? ValueInUnit(log.Values(record)[size_t(column)], quantity)
                                              : std::nullopt;
      if (!value) {
        if (excursion) excursion->EndRun(alarms);
        continue;
      }
      const std::optional<LimitSide> side = Beyond(*value, limit);
      if (excursion && side != excursion->side && (side || BackInside(*value, limit, excursion->side)))
        clear();
      if (!side) {
        if (excursion) excursion->Hold();
        continue;
      }
      if (!excursion) excursion.emplace(column, *side, limit);
      excursion->Beyond(record.time, *value);
    }
    if (excursion) excursion->EndRun(alarms);
  }
  std::stable_sort(alarms.begin(), alarms.end(), [](const Alarm& a, const Alarm& b) {
    return std::tuple(a.start, a.column) < std::tuple(b.start, b.column);
  });
  return alarms;
}

QString RecordTimeText(const RecordTime& time) {
  return QStringLiteral("%1-%2-%3 %4:%5")
      .arg(time.year, 4, 10, QLatin1Char('0'))
      .arg(time.month, 2, 10, QLatin1Char('0'))
      .arg(time.day, 2, 10, QLatin1Char('0'))
      .arg(time.hour, 2, 10, QLatin1Char('0'))
      .arg(time.minute, 2, 10, QLatin1Char('0'));
}

QDateTime RecordDateTime(const RecordTime& time, const QTimeZone& zone) {
  const QDate date(time.year, time.month, time.day);
  const QTime clock(time.hour, time.minute);
  if (!date.isValid() || !clock.isValid()) return {};
  return QDateTime(date, clock, zone);
}

QString RecordTimeIso(const RecordTime& time, const QTimeZone& zone) {
  const QDateTime dateTime = RecordDateTime(time, zone);
  return dateTime.isValid() ? dateTime.toString(Qt::ISODate) : RecordTimeText(time);
}

const char* AlarmKindKey(AlarmKind kind) {
  constexpr std::array<const char*, 3> keys = {"limit", "silent", "clock"};
  return keys[size_t(kind)];
}

const char* LimitSideKey(LimitSide side) {
  return side == LimitSide::Low ? "low" : "high";
}
