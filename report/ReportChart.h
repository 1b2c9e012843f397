#pragma once

#include <QRectF>
#include <span>

#include "core/LogRecord.h"
#include "decode/DeviceCatalogue.h"
#include "watch/LimitRules.h"

class QPainter;

// Draws the channels of one quantity of a log into `area`: a titled frame, the value axis with its
// ticks, the time axis with the days, one line per channel (broken where a value is missing) and a
// dashed line per limit of those channels. The value axis takes in the values and the limits.
// `letter` is the quantity's catalogue letter; `limits` holds one entry per value column.
void DrawQuantityChart(QPainter& painter, const QRectF& area, const RecordLog& log, const DeviceType& type,
                       char letter, std::span<const ChannelLimit> limits);

// The quantities of a device's value columns that hold a number somewhere in the log, in column order.
std::vector<char> ChartedQuantities(const RecordLog& log, const DeviceType& type);
