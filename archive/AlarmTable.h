#pragma once

#include <QString>

#include "archive/ArchiveStore.h"

// An alarm as the archive keeps it: a run of one device's records beyond a limit of one channel, or a
// device that went silent or whose clock is off (channel 0, the kind as the limit, no quantity).
struct ArchivedAlarm {
  QString deviceKey;  // as the devices table names the device
  int channel = 0;    // value column, from 1
  QString quantity;   // quantity key of the channel
  QString limit;      // "low" or "high"; the kind for a device's alarm
  double limitValue = 0;
  QString start;  // "yyyy-MM-dd hh:mm" of the run's first and last record; a device's alarm: of readouts
  QString end;
  int records = 0;
  double extreme = 0;  // a device's alarm: its newest record's age in minutes, 0 without one
  QString kind = QStringLiteral("limit");  // "limit", "silent" or "clock"
  bool open = false;                       // not over yet
};

// What is to be told of a kept alarm now.
struct AlarmNews {
  bool start = false;  // the alarm itself
  bool clear = false;  // its all-clear
};

// The alarms found so far and whether each and its all-clear was reported, in the archive's table
// "alarms" (SQLite and PostgreSQL alike). An alarm is known
// by its device, channel and limit and the time its run covers: a run that grew since it was kept keeps
// its row, with the new end, count and extreme, and so does a run whose first records the device's
// ring has overwritten since (it starts within the kept run). Keep and KeepDeviceAlarm read and then
// write: they run in a write transaction (ArchiveStore::Change, or alongside a merge), so that no other
// program writes in between.
class AlarmTable {
 public:
  explicit AlarmTable(ArchiveStore& store);

  // Keeps the alarm; true when it was not reported yet and this program is to report it now: of two
  // programs keeping it at once, only one is told to.
  // A run that reaches further than the kept one says whether the alarm is still open.
  bool Keep(const ArchivedAlarm& alarm);
  // After Keep: true when the kept alarm is over and its all-clear was not reported yet, and this
  // program is to report it now.
  bool ClaimClear(const ArchivedAlarm& alarm);
  // A device's alarm of `alarm.kind`, open or not at this readout: an open one goes on in the device's
  // open row of that kind or starts one; one no longer open closes that row. `alarm.start` becomes the
  // kept row's start.
  AlarmNews KeepDeviceAlarm(ArchivedAlarm& alarm);
  // The report of a kept alarm failed (its notify command did not succeed): the next program that keeps
  // it reports it.
  void Unreport(const ArchivedAlarm& alarm);
  // As Unreport, for the alarm's all-clear.
  void UnreportClear(const ArchivedAlarm& alarm);

 private:
  void Insert(const ArchivedAlarm& alarm);
  QSqlQuery Run(const QString& sql, const QVariantList& values = {});

  ArchiveStore& store_;
};
