#include "archive/SqliteRecordInsert.h"

#include <sqlite3.h>

#include <QSqlDriver>
#include <QStringList>
#include <algorithm>
#include <memory>

namespace {

// A record's parameters before its channel values: the ids, times, flags, key and line.
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

void BindText(sqlite3_stmt* statement, int index, const QByteArray& text) {
  sqlite3_bind_text(statement, index, text.constData(), int(text.size()), SQLITE_STATIC);
}

}  // namespace

bool FreshSqliteRecords(QSqlDatabase& db, const QString& table, qint64 deviceId,
                        const std::vector<const ArchivedLine*>& records, std::vector<size_t>& fresh,
                        QString& error) {
  fresh.clear();
  if (records.empty()) return true;
  // The records in the order of the table's key: device, time, pass, values.
  std::vector<size_t> order(records.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  // A readout's records come sorted (PrepareArchivedLines).
  const auto keyLess = [&](size_t a, size_t b) {
    if (RecordKeyLess(*records[a], *records[b])) return true;
    return !RecordKeyLess(*records[b], *records[a]) && a < b;
  };
  if (!std::is_sorted(order.begin(), order.end(), keyLess)) std::sort(order.begin(), order.end(), keyLess);
  const auto sameKey = [&](const ArchivedLine& x, const ArchivedLine& y) {
    return x.time == y.time && x.secondPass == y.secondPass && x.valueKey == y.valueKey;
  };

  sqlite3* handle = Handle(db);
  const std::optional<Statement> statement = Prepare(
      handle,
      QStringLiteral("SELECT time, second_pass, value_key FROM %1 WHERE device_id = ? AND time >= ? AND "
                     "time <= ? ORDER BY time, second_pass, value_key")
          .arg(table),
      error);
  if (!statement) return false;
  sqlite3_stmt* query = statement->get();
  sqlite3_bind_int64(query, 1, deviceId);
  BindText(query, 2, records[order.front()]->time);
  BindText(query, 3, records[order.back()]->time);
  int step = sqlite3_step(query);
  for (size_t k = 0; k < order.size(); ++k) {
    const ArchivedLine& record = *records[order[k]];
    // The same record again in the readout goes in once.
    if (k > 0 && sameKey(record, *records[order[k - 1]])) continue;
    // The archived records before this one in the key's order are passed over.
    int archived = 1;
    while (step == SQLITE_ROW) {
      const QByteArrayView time(reinterpret_cast<const char*>(sqlite3_column_text(query, 0)),
                                sqlite3_column_bytes(query, 0));
      archived = time.compare(QByteArrayView(record.time));
      if (archived == 0) archived = sqlite3_column_int(query, 1) - int(record.secondPass);
      if (archived == 0) {
        const QByteArrayView values(reinterpret_cast<const char*>(sqlite3_column_text(query, 2)),
                                    sqlite3_column_bytes(query, 2));
        archived = values.compare(QByteArrayView(record.valueKey));
      }
      if (archived >= 0) break;
      step = sqlite3_step(query);
    }
    if (step != SQLITE_ROW || archived != 0) fresh.push_back(order[k]);
  }
  if (step != SQLITE_ROW && step != SQLITE_DONE) {
    error = QString::fromUtf8(sqlite3_errmsg(handle));
    return false;
  }
  return true;
}

std::optional<int> InsertSqliteRecords(QSqlDatabase& db, const QString& table, qint64 deviceId,
                                       const QVariant& readoutId,
                                       const std::vector<const ArchivedLine*>& records, QString& error) {
  const int channels = ChannelsInUse(records);
  const int perRecord = RecordParameters + channels;
  QString columns =
      QStringLiteral("device_id, readout_id, time, time_utc, second_pass, skipped_time, value_key, line");
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
  for (size_t start = 0; start < records.size(); start += RecordsPerStatement) {
    const size_t count = std::min(RecordsPerStatement, records.size() - start);
    if (count != prepared) {
      QStringList rows(qsizetype(count), row);
      statement = Prepare(handle,
                          QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
                              .arg(table, columns, rows.join(QStringLiteral(", "))),
                          error);
      if (!statement) return std::nullopt;
      prepared = count;
    }
    sqlite3_stmt* insert = statement->get();
    for (size_t i = 0; i < count; ++i) {
      const ArchivedLine& record = *records[start + i];
      const int first = int(i) * perRecord;
      sqlite3_bind_int64(insert, first + 1, deviceId);
      if (readoutId.isNull()) {
        sqlite3_bind_null(insert, first + 2);
      } else {
        sqlite3_bind_int64(insert, first + 2, readoutId.toLongLong());
      }
      BindText(insert, first + 3, record.time);
      BindText(insert, first + 4, record.timeUtc);
      sqlite3_bind_int(insert, first + 5, record.secondPass);
      sqlite3_bind_int(insert, first + 6, record.skipped);
      BindText(insert, first + 7, record.valueKey);
      sqlite3_bind_blob(insert, first + 8, record.line.constData(), int(record.line.size()), SQLITE_STATIC);
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
  return int(records.size());
}
