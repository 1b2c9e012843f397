#pragma once

#include <QDate>
#include <optional>
#include <vector>

#include "core/LogRecord.h"
#include "decode/DeviceCatalogue.h"

// Activation energy over the gas constant of the mean kinetic temperature, in kelvin.
inline constexpr double MeanKineticActivationK = 10000;

// How many values a channel has and what they were, in the quantity's unit.
struct ValueStatistics {
  int count = 0;
  double minimum = 0;
  double maximum = 0;
  double mean = 0;
  // The mean kinetic temperature of a temperature channel, in °C.
  std::optional<double> meanKinetic;
};

// The statistics of a channel's values (at least one) of `quantity`.
ValueStatistics StatisticsOfValues(const std::vector<double>& values, const Quantity& quantity);

// One day of one channel.
struct DayStatistics : ValueStatistics {
  QDate day;
  int column = 0;  // value column, from 0
};

// The statistics of every day and channel of a log, days in time order and channels in column order
// within a day. A channel without a number on a day has no row for that day; records whose time stamp
// is no valid date count for no day.
std::vector<DayStatistics> DailyStatistics(const RecordLog& log, const DeviceType& type);

// The mean kinetic temperature of temperatures in °C: the constant temperature that ages a product as
// much as the varying ones do.
double MeanKineticTemperature(const std::vector<double>& celsius);
