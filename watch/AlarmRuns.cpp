#include "watch/AlarmRuns.h"

#include <algorithm>
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
    std::optional<Alarm> run;
    const auto endRun = [&] {
      if (run) alarms.push_back(*run);
      run.reset();
    };
    for (const LogRecord& record : log.records) {
      // Lost records end a run, as a missing value does.
      if (record.followsLostRecords) endRun();
      const std::optional<double> value = column < int(record.valueCount)
                                              ? ValueInUnit(log.Values(record)[size_t(column)], quantity)
                                              : std::nullopt;
      const std::optional<LimitSide> side = value ? Beyond(*value, limit) : std::nullopt;
      if (run && side != run->side) endRun();
      if (!side) continue;
      if (!run) {
        run =
            Alarm{column, *side, *side == LimitSide::Low ? *limit.low : *limit.high, record.time, record.time,
                  0,      *value};
      }
      run->end = record.time;
      ++run->records;
      run->extreme =
          *side == LimitSide::Low ? std::min(run->extreme, *value) : std::max(run->extreme, *value);
    }
    endRun();
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

const char* LimitSideKey(LimitSide side) {
  return side == LimitSide::Low ? "low" : "high";
}
