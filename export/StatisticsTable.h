#pragma once

#include <QList>
#include <QStringList>
#include <vector>

#include "watch/DailyStatistics.h"

// The daily statistics as a table of texts, one row per day and channel: day, channel, quantity, unit,
// count, minimum, maximum, mean and the mean kinetic temperature (empty for other quantities). The
// minimum and maximum are written as logged, the means with three decimals.
struct StatisticsTable {
  QStringList header;
  QList<QStringList> rows;
};

// English: the keys a program reads; Hungarian: the headings and quantity captions as the window writes
// them; Window: those in the language of the installed translation (Hungarian without one).
enum class TableWording { English, Hungarian, Window };

StatisticsTable DailyStatisticsTable(const std::vector<DayStatistics>& statistics, const DeviceType& type,
                                     TableWording wording, char decimalSeparator = '.');
