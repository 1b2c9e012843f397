#include "archive/AlarmTable.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>
#include <algorithm>

#include "core/ValdError.h"

AlarmTable::AlarmTable(ArchiveStore& store) : store_(store) {
  // A table kept before alarms could stay unreported: every alarm in it was reported.
  if (!QSqlDatabase::database(store_.ConnectionName(), false)
           .record(QStringLiteral("alarms"))
           .contains(QStringLiteral("reported")))
    Run(QStringLiteral("ALTER TABLE alarms ADD COLUMN reported SMALLINT NOT NULL DEFAULT 1"));
}

bool AlarmTable::Keep(const ArchivedAlarm& alarm) {
  QSqlQuery kept =
      Run(QStringLiteral("SELECT start_time, end_time, records, extreme FROM alarms WHERE device_key = ? AND "
                         "channel = ? AND limit_side = ? AND start_time <= ? AND end_time >= ? "
                         "ORDER BY start_time LIMIT 1"),
          {alarm.deviceKey, alarm.channel, alarm.limit, alarm.start, alarm.start});
  QString start = alarm.start;
  if (kept.next()) {
    // A run whose first records are gone keeps the start, count and extreme it had with them.
    start = kept.value(0).toString();
    const double extreme = alarm.limit == QLatin1String("low")
                               ? std::min(alarm.extreme, kept.value(3).toDouble())
                               : std::max(alarm.extreme, kept.value(3).toDouble());
    // An older log than the one kept last says nothing of whether the alarm is over now.
    const QString keptEnd = kept.value(1).toString();
    Run(QStringLiteral(
            "UPDATE alarms SET end_time = ?, records = ?, extreme = ?, is_open = CASE WHEN ? = 1 THEN ? "
            "ELSE is_open END WHERE device_key = ? AND channel = ? AND limit_side = ? AND "
            "start_time = ?"),
        {std::max(alarm.end, keptEnd), std::max(alarm.records, kept.value(2).toInt()), extreme,
         int(alarm.end >= keptEnd), int(alarm.open), alarm.deviceKey, alarm.channel, alarm.limit, start});
  } else {
    Insert(alarm);
  }
  // The update decides alone which of two programs keeping the same alarm at once reports it.
  const QSqlQuery claim =
      Run(QStringLiteral("UPDATE alarms SET reported = 1 WHERE device_key = ? AND channel = ? AND "
                         "limit_side = ? AND start_time = ? AND reported = 0"),
          {alarm.deviceKey, alarm.channel, alarm.limit, start});
  return claim.numRowsAffected() > 0;
}

bool AlarmTable::ClaimClear(const ArchivedAlarm& alarm) {
  const QSqlQuery claim =
      Run(QStringLiteral(
              "UPDATE alarms SET clear_reported = 1 WHERE device_key = ? AND channel = ? AND limit_side = "
              "? AND start_time <= ? AND end_time >= ? AND is_open = 0 AND clear_reported = 0"),
          {alarm.deviceKey, alarm.channel, alarm.limit, alarm.start, alarm.start});
  return claim.numRowsAffected() > 0;
}

AlarmNews AlarmTable::KeepDeviceAlarm(ArchivedAlarm& alarm) {
  QSqlQuery kept =
      Run(QStringLiteral("SELECT start_time FROM alarms WHERE device_key = ? AND channel = ? AND "
                         "limit_side = ? AND is_open = 1 ORDER BY start_time LIMIT 1"),
          {alarm.deviceKey, alarm.channel, alarm.limit});
  const bool known = kept.next();
  if (known) alarm.start = kept.value(0).toString();
  AlarmNews news;
  if (!alarm.open && !known) return news;
  if (known) {
    Run(QStringLiteral("UPDATE alarms SET end_time = ?, extreme = ?, is_open = ? WHERE device_key = ? AND "
                       "channel = ? AND limit_side = ? AND start_time = ?"),
        {alarm.end, alarm.extreme, int(alarm.open), alarm.deviceKey, alarm.channel, alarm.limit,
         alarm.start});
  } else {
    Insert(alarm);
  }
  if (alarm.open) {
    const QSqlQuery claim =
        Run(QStringLiteral("UPDATE alarms SET reported = 1 WHERE device_key = ? AND channel "
                           "= ? AND limit_side = ? AND start_time = ? AND reported = 0"),
            {alarm.deviceKey, alarm.channel, alarm.limit, alarm.start});
    news.start = claim.numRowsAffected() > 0;
  } else {
    news.clear = ClaimClear(alarm);
  }
  return news;
}

void AlarmTable::Insert(const ArchivedAlarm& alarm) {
  Run(QStringLiteral(
          "INSERT INTO alarms (device_key, channel, quantity, limit_side, limit_value, start_time, "
          "end_time, records, extreme, reported, kind, is_open, clear_reported) VALUES (?, ?, ?, ?, "
          "?, ?, ?, ?, ?, 0, ?, ?, 0) ON CONFLICT DO NOTHING"),
      {alarm.deviceKey, alarm.channel, alarm.quantity, alarm.limit, alarm.limitValue, alarm.start, alarm.end,
       alarm.records, alarm.extreme, alarm.kind, int(alarm.open)});
}

void AlarmTable::UnreportClear(const ArchivedAlarm& alarm) {
  Run(QStringLiteral(
          "UPDATE alarms SET clear_reported = 0 WHERE device_key = ? AND channel = ? AND limit_side = "
          "? AND start_time <= ? AND end_time >= ?"),
      {alarm.deviceKey, alarm.channel, alarm.limit, alarm.start, alarm.start});
}

void AlarmTable::Unreport(const ArchivedAlarm& alarm) {
  Run(QStringLiteral("UPDATE alarms SET reported = 0 WHERE device_key = ? AND channel = ? AND limit_side = ? "
                     "AND start_time <= ? AND end_time >= ?"),
      {alarm.deviceKey, alarm.channel, alarm.limit, alarm.start, alarm.start});
}

QSqlQuery AlarmTable::Run(const QString& sql, const QVariantList& values) {
  QSqlQuery query(QSqlDatabase::database(store_.ConnectionName(), false));
  const bool done = values.isEmpty() ? query.exec(sql) : [&] {
    if (!query.prepare(sql)) return false;
    for (const QVariant& value : values) query.addBindValue(value);
    return query.exec();
  }();
  if (!done) {
    throw ValdError(QStringLiteral("Archive %1: %2 failed: %3")
                        .arg(store_.Location().Describe(), sql.section(QLatin1Char(' '), 0, 2),
                             query.lastError().text().simplified()));
  }
  return query;
}
