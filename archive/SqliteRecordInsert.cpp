#include "archive/SqliteRecordInsert.h"

#include <sqlite3.h>

#include <QSqlDriver>
#include <memory>

namespace {

// The statement's parameter of v1; the ones before it are the ids, times, flags, key and line.
constexpr int FirstChannelParameter = 9;

sqlite3* Handle(QSqlDatabase& db) {
  const QVariant handle = db.driver()->handle();
  if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0) return nullptr;
  return *static_cast<sqlite3* const*>(handle.constData());
}

using Statement = std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)>;

// The statement `sql` prepared, or nothing with SQLite's message in `error`.
std::optional<Statement> Prepare(sqlite3* handle, const QString& sql, QString& error) {
  if (!handle) {
    error = QStringLiteral("the SQLite driver gives no connection handle");
    return std::nullopt;
  }
  const QByteArray text = sql.toUtf8();
  sqlite3_stmt* prepared = nullptr;
  if (sqlite3_prepare_v2(handle, text.constData(), int(text.size()), &prepared, nullptr) != SQLITE_OK) {
    error = QString::fromUtf8(sqlite3_errmsg(handle));
    return std::nullopt;
  }
  return Statement(prepared, sqlite3_finalize);
}

void BindText(sqlite3_stmt* statement, int index, const QByteArray& text) {
  sqlite3_bind_text(statement, index, text.constData(), int(text.size()), SQLITE_STATIC);
}

QByteArray ColumnText(sqlite3_stmt* statement, int column) {
  return QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(statement, column)),
                    sqlite3_column_bytes(statement, column));
}

}  // namespace

std::optional<QSet<QByteArray>> SqliteRecordKeys(QSqlDatabase& db, const QString& table, qint64 deviceId,
                                                 const QByteArray& first, const QByteArray& last,
                                                 QString& error) {
  sqlite3* handle = Handle(db);
  const std::optional<Statement> statement = Prepare(
      handle,
      QStringLiteral(
          "SELECT time, second_pass, value_key FROM %1 WHERE device_id = ? AND time >= ? AND time <= ?")
          .arg(table),
      error);
  if (!statement) return std::nullopt;
  sqlite3_stmt* query = statement->get();
  sqlite3_bind_int64(query, 1, deviceId);
  BindText(query, 2, first);
  BindText(query, 3, last);
  QSet<QByteArray> keys;
  int step = SQLITE_ROW;
  while ((step = sqlite3_step(query)) == SQLITE_ROW)
    keys.insert(RecordKeyOf(ColumnText(query, 0), sqlite3_column_int(query, 1) != 0, ColumnText(query, 2)));
  if (step != SQLITE_DONE) {
    error = QString::fromUtf8(sqlite3_errmsg(handle));
    return std::nullopt;
  }
  return keys;
}

std::optional<int> InsertSqliteRecords(QSqlDatabase& db, const QString& table, qint64 deviceId,
                                       const QVariant& readoutId,
                                       const std::vector<const ArchivedLine*>& records, QString& error) {
  const int channels = ChannelsInUse(records);
  QString columns =
      QStringLiteral("device_id, readout_id, time, time_utc, second_pass, skipped_time, value_key, line");
  QString values = QStringLiteral("?, ?, ?, ?, ?, ?, ?, ?");
  for (int channel = 1; channel <= channels; ++channel) {
    columns += QStringLiteral(", v%1").arg(channel);
    values += QStringLiteral(", ?");
  }
  sqlite3* handle = Handle(db);
  const std::optional<Statement> statement =
      Prepare(handle, QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(table, columns, values), error);
  if (!statement) return std::nullopt;
  sqlite3_stmt* insert = statement->get();
  sqlite3_bind_int64(insert, 1, deviceId);
  if (readoutId.isNull()) {
    sqlite3_bind_null(insert, 2);
  } else {
    sqlite3_bind_int64(insert, 2, readoutId.toLongLong());
  }
  for (const ArchivedLine* record : records) {
    BindText(insert, 3, record->time);
    BindText(insert, 4, record->timeUtc);
    sqlite3_bind_int(insert, 5, record->secondPass);
    sqlite3_bind_int(insert, 6, record->skipped);
    BindText(insert, 7, record->valueKey);
    sqlite3_bind_blob(insert, 8, record->line.constData(), int(record->line.size()), SQLITE_STATIC);
    for (int channel = 0; channel < channels; ++channel) {
      const std::optional<double>& value = record->values[size_t(channel)];
      if (value) {
        sqlite3_bind_double(insert, FirstChannelParameter + channel, *value);
      } else {
        sqlite3_bind_null(insert, FirstChannelParameter + channel);
      }
    }
    if (sqlite3_step(insert) != SQLITE_DONE) {
      error = QString::fromUtf8(sqlite3_errmsg(handle));
      return std::nullopt;
    }
    sqlite3_reset(insert);
  }
  return int(records.size());
}
