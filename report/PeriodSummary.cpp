#include "report/PeriodSummary.h"

#include <algorithm>

#include "archive/SiteTime.h"
#include "export/RecordsDigest.h"
#include "watch/DailyStatistics.h"

namespace {

qint64 MinuteOf(const RecordTime& time) {
  return LocalSeconds(time.year, time.month, time.day, time.hour, time.minute) / 60;
}

}  // namespace

qint64 PeriodSummary::TotalMinutes() const {
  qint64 total = 0;
  for (const Excursion& excursion : excursions) total += excursion.minutes;
  return total;
}

const Excursion* PeriodSummary::Longest() const {
  const auto longest =
      std::max_element(excursions.begin(), excursions.end(),
                       [](const Excursion& a, const Excursion& b) { return a.minutes < b.minutes; });
  return longest == excursions.end() ? nullptr : &*longest;
}

PeriodSummary SummarisePeriod(const RecordLog& log, const DeviceType& type,
                              std::span<const ChannelLimit> limits) {
  PeriodSummary summary;
  summary.anyLimit =
      std::any_of(limits.begin(), limits.end(), [](const ChannelLimit& limit) { return limit.IsSet(); });

  std::vector<qint64> minutes;
  for (const LogRecord& record : log.records) {
    if (IsValidRecordTime(record.time)) minutes.push_back(MinuteOf(record.time));
  }
  std::sort(minutes.begin(), minutes.end());
  for (const Alarm& alarm : FindAlarms(log, type, limits)) {
    const qint64 start = MinuteOf(alarm.start);
    const qint64 end = MinuteOf(alarm.end);
    const auto next = std::upper_bound(minutes.begin(), minutes.end(), end);
    summary.excursions.push_back({alarm, (next == minutes.end() ? end : *next) - start});
  }

  const int columns = type.ValueColumns();
  std::vector<std::vector<double>> values(static_cast<size_t>(columns));
  for (const LogRecord& record : log.records) {
    if (!IsValidRecordTime(record.time)) continue;
    const std::span<const RecordValue> recordValues = log.Values(record);
    for (int column = 0; column < std::min(columns, int(recordValues.size())); ++column) {
      if (const std::optional<double> value =
              ValueInUnit(recordValues[size_t(column)], QuantityOf(type.columns[size_t(column)])))
        values[size_t(column)].push_back(*value);
    }
  }
  for (int column = 0; column < columns; ++column) {
    const std::vector<double>& channel = values[size_t(column)];
    if (channel.empty()) continue;
    ChannelSummary row;
    static_cast<ValueStatistics&>(row) =
        StatisticsOfValues(channel, QuantityOf(type.columns[size_t(column)]));
    row.column = column;
    for (const Excursion& excursion : summary.excursions) {
      if (excursion.alarm.column != column) continue;
      (excursion.alarm.side == LimitSide::High ? row.minutesAbove : row.minutesBelow) += excursion.minutes;
    }
    summary.channels.push_back(row);
  }
  return summary;
}
