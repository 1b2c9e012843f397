#pragma once

#include <QRectF>
#include <QString>
#include <span>

#include "core/LogRecord.h"
#include "decode/DeviceCatalogue.h"
#include "report/ReportWording.h"
#include "watch/LimitRules.h"

class QPainter;

// A labelled tick of a chart's time axis, at a minute of the device's clock (minutes since 1970 as if
// its clock were UTC).
struct TimeTick {
  qint64 minute = 0;
  QString label;
};

// The ticks of a time axis from `firstMinute` to `lastMinute` with room for `labelRoom` labels: the
// finest step from ten minutes to four weeks that fits, on whole steps of the clock. Steps under a day
// are labelled "hh:mm" (a midnight "MM-dd"), steps of days "MM-dd": hours for a day, days for a month.
std::vector<TimeTick> TimeAxisTicks(qint64 firstMinute, qint64 lastMinute, int labelRoom);

// Draws the channels of one quantity of a log into `area`: a titled frame, the value axis with its
// ticks, the time axis (TimeAxisTicks), one line per channel (broken where a value is missing) and a
// dashed line per limit of those channels, labelled with the limit. The value axis takes in the values
// and the limits. The texts are in the wording's language.
// `letter` is the quantity's catalogue letter; `limits` holds one entry per value column.
void DrawQuantityChart(QPainter& painter, const QRectF& area, const RecordLog& log, const DeviceType& type,
                       char letter, std::span<const ChannelLimit> limits, const ReportWording& wording);

// The quantities of a device's value columns that hold a number somewhere in the log, in column order.
std::vector<char> ChartedQuantities(const RecordLog& log, const DeviceType& type);
