#pragma once

#include <optional>
#include <span>
#include <vector>

#include "watch/DailyStatistics.h"

#include "core/LogRecord.h"
#include "decode/DeviceCatalogue.h"
#include "watch/AlarmRuns.h"
#include "watch/LimitRules.h"

// An alarm run with how long it lasted: from its first record beyond the limit to the first record
// after it (back inside the limit, or after a gap in the log); a run that ends the log lasts to its last
// record. Minutes of the device's clock.
struct Excursion {
  Alarm alarm;
  qint64 minutes = 0;
};

// One channel over the whole period, values in its quantity's unit.
struct ChannelSummary : ValueStatistics {
  int column = 0;           // value column, from 0
  qint64 minutesAbove = 0;  // the excursions above the high limit, in total
  qint64 minutesBelow = 0;
};

// What a report says of a log against its limits (one per value column): each channel with a number
// (in column order) and the excursions, ordered by their start.
struct PeriodSummary {
  std::vector<ChannelSummary> channels;
  std::vector<Excursion> excursions;
  bool anyLimit = false;

  qint64 TotalMinutes() const;
  // The longest excursion, the first of equally long ones; nothing without excursions.
  const Excursion* Longest() const;
};

PeriodSummary SummarisePeriod(const RecordLog& log, const DeviceType& type,
                              std::span<const ChannelLimit> limits);
