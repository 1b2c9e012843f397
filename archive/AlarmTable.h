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

// The alarms reported so far, in the table "alarms" beside the archive's own tables, made on the first
// use of a writing connection (SQLite and PostgreSQL alike). An alarm is known by its device, channel,
// limit and start: a run that grew since it was reported keeps its row, with the new end, count and
// extreme.
class AlarmTable {
 public:
  explicit AlarmTable(ArchiveStore& store);

  // Keeps the alarm; true when the archive did not know it yet, so that it is to be reported.
  bool Keep(const ArchivedAlarm& alarm);

 private:
  QSqlQuery Run(const QString& sql, const QVariantList& values = {});

  ArchiveStore& store_;
};
