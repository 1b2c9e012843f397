#include "archive/SqliteRecordInsert.h"

#include <sqlite3.h>

#include <QSqlDriver>
#include <QStringList>
#include <algorithm>
#include <memory>

namespace {

// A record's parameters before its channel values: the ids, time, pass, variant, offset, form and line.
constexpr int RecordParameters = 8;
// Records a statement; with the 16 channels 1200 parameters, far below SQLite's limit.
constexpr size_t RecordsPerStatement = 50;

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

// The channel values of the row at hand from column `first` on.
ArchivedLine::Values ValuesOf(sqlite3_stmt* row, int first) {
  ArchivedLine::Values values;
  for (int channel = 0; channel < ArchivedLine::ChannelCount; ++channel) {
    if (sqlite3_column_type(row, first + channel) != SQLITE_NULL)
      values[size_t(channel)] = sqlite3_column_double(row, first + channel);
  }
  return values;
}

// The bytes of column `column` of the row at hand.
QByteArray BytesOf(sqlite3_stmt* row, int column) {
  return QByteArray(static_cast<const char*>(sqlite3_column_blob(row, column)),
                    sqlite3_column_bytes(row, column));
}

// Runs the query `sql` with `parameters` bound in their order and hands each row to `take`. False when
// the query fails (its message in `error`).
template <typename TakeRow>
bool EachRow(QSqlDatabase& db, const QString& sql, const std::vector<qint64>& parameters, QString& error,
             TakeRow take) {
  sqlite3* handle = Handle(db);
  const std::optional<Statement> statement = Prepare(handle, sql, error);
  if (!statement) return false;
  sqlite3_stmt* query = statement->get();
  for (size_t k = 0; k < parameters.size(); ++k) sqlite3_bind_int64(query, int(k) + 1, parameters[k]);
  int step;
  while ((step = sqlite3_step(query)) == SQLITE_ROW) take(query);
  if (step != SQLITE_DONE) {
    error = QString::fromUtf8(sqlite3_errmsg(handle));
    return false;
  }
  return true;
}

}  // namespace

bool ArchivedSqliteVariants(QSqlDatabase& db, const QString& table, qint64 deviceId, qint64 first,
                            qint64 last, std::vector<ArchivedVariant>& archived, QString& error) {
  return EachRow(db,
                 QStringLiteral("SELECT %1 FROM %2 WHERE device_id = ? AND time >= ? AND time <= ?")
                     .arg(VariantColumns(), table),
                 {deviceId, first, last}, error, [&](sqlite3_stmt* row) {
                   ArchivedVariant& record = archived.emplace_back();
                   record.time = sqlite3_column_int64(row, 0);
                   record.secondPass = sqlite3_column_int(row, 1) != 0;
                   record.variant = sqlite3_column_int(row, 2);
                   record.fromReadout = sqlite3_column_type(row, 3) != SQLITE_NULL;
                   record.line = BytesOf(row, 4);
                   record.values = ValuesOf(row, 5);
                 });
}

bool ReadSqliteRecords(QSqlDatabase& db, const QString& sql, const std::vector<qint64>& parameters,
                       const std::function<void(ArchivedLine&)>& take, QString& error) {
  return EachRow(db, sql, parameters, error, [&](sqlite3_stmt* row) {
    ArchivedLine record;
    record.time = sqlite3_column_int64(row, 0);
    record.secondPass = sqlite3_column_int(row, 1) != 0;
    record.timeUtc = record.time - 60 * sqlite3_column_int64(row, 2);
    if (sqlite3_column_type(row, 3) == SQLITE_NULL) {
      record.line = BytesOf(row, 4);
    } else {
      record.lineForm = sqlite3_column_int(row, 3);
    }
    record.values = ValuesOf(row, 5);
    take(record);
  });
}

std::optional<int> InsertSqliteRecords(QSqlDatabase& db, const QString& table, qint64 deviceId,
                                       const QVariant& readoutId, const std::vector<VariantRow>& rows,
                                       QString& error) {
  std::vector<const ArchivedLine*> records;
  records.reserve(rows.size());
  for (const VariantRow& row : rows) records.push_back(row.record);
  const int channels = ChannelsInUse(records);
  const int perRecord = RecordParameters + channels;
  QString columns =
      QStringLiteral("device_id, readout_id, time, second_pass, variant, utc_offset, line_form, line");
  QString row = QStringLiteral("(?, ?, ?, ?, ?, ?, ?, ?");
  for (int channel = 1; channel <= channels; ++channel) {
    columns += QStringLiteral(", v%1").arg(channel);
    row += QStringLiteral(", ?");
  }
  row += QLatin1Char(')');
  sqlite3* handle = Handle(db);
  // Many records a statement: SQLite runs a statement's records with less work each.
  std::optional<Statement> statement;
  size_t prepared = 0;
  for (size_t start = 0; start < rows.size(); start += RecordsPerStatement) {
    const size_t count = std::min(RecordsPerStatement, rows.size() - start);
    if (count != prepared) {
      QStringList statementRows(qsizetype(count), row);
      statement = Prepare(handle,
                          QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
                              .arg(table, columns, statementRows.join(QStringLiteral(", "))),
                          error);
      if (!statement) return std::nullopt;
      prepared = count;
    }
    sqlite3_stmt* insert = statement->get();
    for (size_t i = 0; i < count; ++i) {
      const ArchivedLine& record = *rows[start + i].record;
      const int first = int(i) * perRecord;
      sqlite3_bind_int64(insert, first + 1, deviceId);
      if (readoutId.isNull()) {
        sqlite3_bind_null(insert, first + 2);
      } else {
        sqlite3_bind_int64(insert, first + 2, readoutId.toLongLong());
      }
      sqlite3_bind_int64(insert, first + 3, record.time);
      sqlite3_bind_int(insert, first + 4, record.secondPass);
      sqlite3_bind_int(insert, first + 5, rows[start + i].variant);
      sqlite3_bind_int(insert, first + 6, record.UtcOffsetMinutes());
      if (record.lineForm) {
        sqlite3_bind_int(insert, first + 7, *record.lineForm);
        sqlite3_bind_null(insert, first + 8);
      } else {
        sqlite3_bind_null(insert, first + 7);
        sqlite3_bind_blob(insert, first + 8, record.line.constData(), int(record.line.size()), SQLITE_STATIC);
      }
      for (int channel = 0; channel < channels; ++channel) {
        const std::optional<double>& value = record.values[size_t(channel)];
        if (value) {
          sqlite3_bind_double(insert, first + RecordParameters + 1 + channel, *value);
        } else {
          sqlite3_bind_null(insert, first + RecordParameters + 1 + channel);
        }
      }
    }
    if (sqlite3_step(insert) != SQLITE_DONE) {
      error = QString::fromUtf8(sqlite3_errmsg(handle));
      return std::nullopt;
    }
    sqlite3_reset(insert);
  }
  return int(rows.size());
}
