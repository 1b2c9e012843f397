#include "archive/AlarmTable.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include "core/ValdError.h"

AlarmTable::AlarmTable(ArchiveStore& store) : store_(store) {
  Run(QStringLiteral(
      "CREATE TABLE IF NOT EXISTS alarms (device_key TEXT NOT NULL, channel INTEGER NOT NULL, "
      "quantity TEXT NOT NULL, limit_side TEXT NOT NULL, limit_value DOUBLE PRECISION NOT NULL, "
      "start_time TEXT NOT NULL, end_time TEXT NOT NULL, records INTEGER NOT NULL, "
      "extreme DOUBLE PRECISION NOT NULL, "
      "PRIMARY KEY (device_key, channel, limit_side, start_time))"));
}

// The insert decides alone which of two programs keeping the same alarm at once reports it.
bool AlarmTable::Keep(const ArchivedAlarm& alarm) {
  const QSqlQuery insert =
      Run(QStringLiteral(
              "INSERT INTO alarms (device_key, channel, quantity, limit_side, limit_value, start_time, "
              "end_time, records, extreme) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?) ON CONFLICT DO NOTHING"),
          {alarm.deviceKey, alarm.channel, alarm.quantity, alarm.limit, alarm.limitValue, alarm.start,
           alarm.end, alarm.records, alarm.extreme});
  if (insert.numRowsAffected() > 0) return true;
  Run(QStringLiteral("UPDATE alarms SET end_time = ?, records = ?, extreme = ? WHERE device_key = ? AND "
                     "channel = ? AND limit_side = ? AND start_time = ?"),
      {alarm.end, alarm.records, alarm.extreme, alarm.deviceKey, alarm.channel, alarm.limit, alarm.start});
  return false;
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
