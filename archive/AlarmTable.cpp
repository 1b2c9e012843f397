#include "archive/AlarmTable.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>
#include <algorithm>

#include "core/ValdError.h"

AlarmTable::AlarmTable(ArchiveStore& store) : store_(store) {
  Run(QStringLiteral(
      "CREATE TABLE IF NOT EXISTS alarms (device_key TEXT NOT NULL, channel INTEGER NOT NULL, "
      "quantity TEXT NOT NULL, limit_side TEXT NOT NULL, limit_value DOUBLE PRECISION NOT NULL, "
      "start_time TEXT NOT NULL, end_time TEXT NOT NULL, records INTEGER NOT NULL, "
      "extreme DOUBLE PRECISION NOT NULL, "
      "reported SMALLINT NOT NULL DEFAULT 1, PRIMARY KEY (device_key, channel, limit_side, start_time))"));
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
    Run(QStringLiteral("UPDATE alarms SET end_time = ?, records = ?, extreme = ? WHERE device_key = ? AND "
                       "channel = ? AND limit_side = ? AND start_time = ?"),
        {std::max(alarm.end, kept.value(1).toString()), std::max(alarm.records, kept.value(2).toInt()),
         extreme, alarm.deviceKey, alarm.channel, alarm.limit, start});
  } else {
    Run(QStringLiteral(
            "INSERT INTO alarms (device_key, channel, quantity, limit_side, limit_value, start_time, "
            "end_time, records, extreme, reported) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, 0) "
            "ON CONFLICT DO NOTHING"),
        {alarm.deviceKey, alarm.channel, alarm.quantity, alarm.limit, alarm.limitValue, alarm.start,
         alarm.end, alarm.records, alarm.extreme});
  }
  // The update decides alone which of two programs keeping the same alarm at once reports it.
  const QSqlQuery claim =
      Run(QStringLiteral("UPDATE alarms SET reported = 1 WHERE device_key = ? AND channel = ? AND "
                         "limit_side = ? AND start_time = ? AND reported = 0"),
          {alarm.deviceKey, alarm.channel, alarm.limit, start});
  return claim.numRowsAffected() > 0;
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
