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
      row.day = day;
      row.column = column;
      row.count = int(channel.size());
      const auto [smallest, largest] = std::minmax_element(channel.begin(), channel.end());
      row.minimum = *smallest;
      row.maximum = *largest;
      double sum = 0;
      for (const double value : channel) sum += value;
      row.mean = sum / double(channel.size());
      if (IsTemperature(QuantityOf(type.columns[size_t(column)])))
        row.meanKinetic = MeanKineticTemperature(channel);
      statistics.push_back(row);
    }
  }
  return statistics;
}
