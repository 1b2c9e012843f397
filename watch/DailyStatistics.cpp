#include "watch/DailyStatistics.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "watch/AlarmRuns.h"

namespace {

constexpr double KelvinOfZeroCelsius = 273.15;

bool IsTemperature(const Quantity& quantity) {
  return quantity.letter == 'T';
}

}  // namespace

double MeanKineticTemperature(const std::vector<double>& celsius) {
  double sum = 0;
  for (const double value : celsius) sum += std::exp(-MeanKineticActivationK / (value + KelvinOfZeroCelsius));
  return MeanKineticActivationK / -std::log(sum / double(celsius.size())) - KelvinOfZeroCelsius;
}

ValueStatistics StatisticsOfValues(const std::vector<double>& values, const Quantity& quantity) {
  ValueStatistics statistics;
  statistics.count = int(values.size());
  const auto [smallest, largest] = std::minmax_element(values.begin(), values.end());
  statistics.minimum = *smallest;
  statistics.maximum = *largest;
  double sum = 0;
  for (const double value : values) sum += value;
  statistics.mean = sum / double(values.size());
  if (IsTemperature(quantity)) statistics.meanKinetic = MeanKineticTemperature(values);
  return statistics;
}

std::vector<DayStatistics> DailyStatistics(const RecordLog& log, const DeviceType& type) {
  // The values of each day, channel by channel.
  std::map<QDate, std::vector<std::vector<double>>> days;
  const int columns = type.ValueColumns();
  for (const LogRecord& record : log.records) {
    const QDate day(record.time.year, record.time.month, record.time.day);
    if (!day.isValid() || record.timeCount < 3) continue;
    std::vector<std::vector<double>>& values = days[day];
    values.resize(size_t(columns));
    const std::span<const RecordValue> recordValues = log.Values(record);
    for (int column = 0; column < std::min(columns, int(recordValues.size())); ++column) {
      const std::optional<double> value =
          ValueInUnit(recordValues[size_t(column)], QuantityOf(type.columns[size_t(column)]));
      if (value) values[size_t(column)].push_back(*value);
    }
  }
  std::vector<DayStatistics> statistics;
  for (const auto& [day, values] : days) {
    for (int column = 0; column < columns; ++column) {
      const std::vector<double>& channel = values[size_t(column)];
      if (channel.empty()) continue;
      DayStatistics row;
      static_cast<ValueStatistics&>(row) =
          StatisticsOfValues(channel, QuantityOf(type.columns[size_t(column)]));
      row.day = day;
      row.column = column;
      statistics.push_back(row);
    }
  }
  return statistics;
}
