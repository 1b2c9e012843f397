#pragma once

#include <QString>

#include "archive/ArchiveStore.h"

// An alarm as the archive keeps it: a run of one device's records beyond a limit of one channel.
struct ArchivedAlarm {
  QString deviceKey;  // as the devices table names the device
  int channel = 0;    // value column, from 1
  QString quantity;   // quantity key of the channel
  QString limit;      // "low" or "high"
  double limitValue = 0;
  QString start;  // "yyyy-MM-dd hh:mm" of the run's first and last record
  QString end;
  int records = 0;
  double extreme = 0;
};

// The alarms found so far and whether each was reported, in the table "alarms" beside the archive's own
// tables, made on the first use of a writing connection (SQLite and PostgreSQL alike). An alarm is known
// by its device, channel and limit and the time its run covers: a run that grew since it was kept keeps
// its row, with the new end, count and extreme, and so does a run whose first records the device's
// ring has overwritten since (it starts within the kept run).
class AlarmTable {
 public:
  explicit AlarmTable(ArchiveStore& store);

  // Keeps the alarm; true when it was not reported yet and this program is to report it now: of two
  // programs keeping it at once, only one is told to.
  bool Keep(const ArchivedAlarm& alarm);
  // The report of a kept alarm failed (its notify command did not succeed): the next program that keeps
  // it reports it.
  void Unreport(const ArchivedAlarm& alarm);

 private:
  QSqlQuery Run(const QString& sql, const QVariantList& values = {});

  ArchiveStore& store_;
};
