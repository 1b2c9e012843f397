#pragma once

#include <QDateTime>
#include <QString>
#include <QTimeZone>
#include <vector>

#include "core/LogRecord.h"
#include "decode/DeviceCatalogue.h"
#include "export/StatisticsTable.h"
#include "watch/LimitRules.h"

// What a printable report is about: a device's log over a period and the limits of its channels.
struct ReportSubject {
  const DeviceType* type = nullptr;
  QString mac;                                   // empty when not known
  QString address;                               // empty when not known
  QString archiveKey;                            // how the archive names the device; empty when it does not
  const RecordLog* log = nullptr;                // in time order
  std::vector<ChannelLimit> limits;              // one per value column
  QDateTime made;                                // when the report is made
  QTimeZone zone = QTimeZone::systemTimeZone();  // the site's time zone, which the device's clock keeps
  TableWording language = TableWording::Hungarian;
};

// Writes the report as an A4 PDF in the subject's language: the device (type, MAC address, address),
// the period of its records with their time zone, the limits, a chart per quantity with its limits, each
// channel's statistics over the period and time beyond its limits, the daily statistics, the excursions
// (a summary and a table), the verdict, the signature block and the records' SHA-256 (RecordsDigest.h),
// every page numbered "x of y". The SHA-256 is kept in the PDF's metadata too (ReportSeal.h). The file
// is written whole or not at all; throws ValdError when it cannot be.
void WriteMeasurementReport(const QString& path, const ReportSubject& subject);
