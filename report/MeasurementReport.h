#pragma once

#include <QDateTime>
#include <QString>
#include <vector>

#include "core/LogRecord.h"
#include "decode/DeviceCatalogue.h"
#include "watch/LimitRules.h"

// What a printable report is about: a device's log over a period and the limits of its channels.
struct ReportSubject {
  const DeviceType* type = nullptr;
  QString mac;                       // empty when not known
  QString address;                   // empty when not known
  const RecordLog* log = nullptr;    // in time order
  std::vector<ChannelLimit> limits;  // one per value column
  QDateTime made;                    // when the report is made
};

// Writes the report as an A4 PDF: the device (type, MAC address, address), the period of its records,
// a chart per quantity with its limits, the daily statistics and the alarms, every page numbered. The
// file is written whole or not at all; throws ValdError when it cannot be.
void WriteMeasurementReport(const QString& path, const ReportSubject& subject);
