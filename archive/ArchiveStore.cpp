#include "archive/ArchiveStore.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocale>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QVariant>
#include <algorithm>
#include <atomic>
#include <limits>
#include <numeric>
#include <span>
#include <tuple>
#include <vector>

#include "archive/ArchiveSchema.h"
#include "archive/ArchivedLine.h"
#include "archive/ImagePatch.h"
#include "archive/LineForm.h"
#include "archive/RawImageDecoding.h"
#include "archive/SiteTime.h"
#include "archive/SqliteRecordInsert.h"
#include "archive/TimeOrdering.h"
#include "core/ValdError.h"

namespace {

// A second program merging at the same time waits this long for the first to finish.
constexpr int BusyTimeoutMs = 30000;

// SQLite's result codes, as the Qt SQL driver gives them.
constexpr char SqliteBusy[] = "5";
constexpr char SqliteNotADatabase[] = "26";

QString NewConnectionName() {
  static std::atomic<int> counter{0};
  return QStringLiteral("vald_archive_%1").arg(counter++);
}

QString SqlTimeText(const QDateTime& time) {
  return time.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

// SQLite gives time stamps back as their text, PostgreSQL as date and time.
QString TimeText(const QVariant& value) {
  if (value.isNull()) return {};
  if (value.metaType().id() == QMetaType::QDateTime) return SqlTimeText(value.toDateTime());
  return value.toString();
}

// A device of a row whose first columns are id, device_key, mac, device_code, device_type,
// last_address and last_readout.
ArchivedDevice DeviceOfRow(const QSqlQuery& row) {
  ArchivedDevice device;
  device.id = row.value(0).toLongLong();
  device.key = row.value(1).toString();
  device.mac = row.value(2).toString();
  device.deviceCode = row.value(3).toInt();
  device.deviceType = row.value(4).toString();
  device.lastAddress = row.value(5).toString();
  device.lastReadout = TimeText(row.value(6));
  return device;
}

QVariant NullableText(const QString& text) {
  return text.isEmpty() ? QVariant() : QVariant(text);
}

// The raw image in the row's columns `first` (image, decimal_separator, system_decimal_separator)
// decoded again as its readout decoded it.
std::optional<DecodedImage> DecodeStoredImage(const QSqlQuery& row, int first) {
  const QByteArray systemSeparator = row.value(first + 2).toByteArray();
  return DecodeRawImage(row.value(first).toByteArray(), row.value(first + 1).toByteArray(),
                        systemSeparator.isEmpty() ? '.' : systemSeparator[0]);
}

// A readout's image of a row of id, base_readout_id and image.
KeptImage KeptImageOfRow(const QSqlQuery& row) {
  KeptImage kept;
  kept.readout = row.value(0).toLongLong();
  if (!row.value(1).isNull()) kept.base = row.value(1).toLongLong();
  kept.stored = row.value(2).toByteArray();
  return kept;
}

QString SqlLiteral(const QVariant& id) {
  return id.isNull() ? QStringLiteral("NULL") : QString::number(id.toLongLong());
}

// Rows an INSERT carries to a server, each column of them bound as one array: a readout of thousands
// of records costs a round trip or two.
constexpr size_t RowsPerServerInsert = 10000;

// "INSERT INTO <table>" on a server of rows from one readout (or none) of the device, their time, pass,
// variant, offset, form, line (in hex) and `channels` values bound as arrays :a0, :a1, ... and taken
// apart row by row. The ids are written into the statement.
QString ServerInsertStatement(const QString& table, qint64 deviceId, const QVariant& readoutId,
                              int channels) {
  QString columns =
      QStringLiteral("device_id, time, second_pass, variant, utc_offset, line_form, line, readout_id");
  QString values =
      QStringLiteral("%1, r.time, r.pass, r.variant, r.utc_offset, r.form, decode(r.line, 'hex'), %2")
          .arg(deviceId)
          .arg(SqlLiteral(readoutId));
  QString arrays = QStringLiteral(
      "CAST(:a0 AS BIGINT[]), CAST(:a1 AS SMALLINT[]), CAST(:a2 AS SMALLINT[]), CAST(:a3 AS SMALLINT[]), "
      "CAST(:a4 AS SMALLINT[]), CAST(:a5 AS TEXT[])");
  QString names = QStringLiteral("time, pass, variant, utc_offset, form, line");
  for (int channel = 1; channel <= channels; ++channel) {
    columns += QStringLiteral(", v%1").arg(channel);
    values += QStringLiteral(", r.v%1").arg(channel);
    arrays += QStringLiteral(", CAST(:a%1 AS DOUBLE PRECISION[])").arg(channel + 5);
    names += QStringLiteral(", v%1").arg(channel);
  }
  return QStringLiteral("INSERT INTO %1 (%2) SELECT %3 FROM unnest(%4) AS r(%5) ON CONFLICT DO NOTHING")
      .arg(table, columns, values, arrays, names);
}

// An array of the server's text form, "{1,NULL,3}": `element` writes each, or nothing for NULL.
template <typename Element>
QString ServerArray(std::span<const VariantRow> rows, Element element) {
  QString array = QStringLiteral("{");
  for (const VariantRow& row : rows) {
    if (array.size() > 1) array += QLatin1Char(',');
    const std::optional<QString> text = element(row);
    array += text ? *text : QStringLiteral("NULL");
  }
  return array + QLatin1Char('}');
}

// Inserts `rows`, all of one readout, on a server; the rows added, or nothing when a statement fails
// (its error in `insert`).
std::optional<int> InsertRows(QSqlQuery& insert, const QString& table, qint64 deviceId,
                              const QVariant& readoutId, const std::vector<VariantRow>& rows) {
  std::vector<const ArchivedLine*> records;
  for (const VariantRow& row : rows) records.push_back(row.record);
  const int channels = ChannelsInUse(records);
  if (!insert.prepare(ServerInsertStatement(table, deviceId, readoutId, channels))) return std::nullopt;
  const auto number = [](auto value) { return std::optional<QString>(QString::number(value)); };
  int added = 0;
  for (size_t start = 0; start < rows.size(); start += RowsPerServerInsert) {
    const std::span<const VariantRow> part(rows.data() + start,
                                           std::min(RowsPerServerInsert, rows.size() - start));
    insert.bindValue(QStringLiteral(":a0"),
                     ServerArray(part, [&](const VariantRow& row) { return number(row.record->time); }));
    insert.bindValue(QStringLiteral(":a1"), ServerArray(part, [&](const VariantRow& row) {
                       return number(int(row.record->secondPass));
                     }));
    insert.bindValue(QStringLiteral(":a2"),
                     ServerArray(part, [&](const VariantRow& row) { return number(row.variant); }));
    insert.bindValue(QStringLiteral(":a3"), ServerArray(part, [&](const VariantRow& row) {
                       return number(row.record->UtcOffsetMinutes());
                     }));
    insert.bindValue(QStringLiteral(":a4"), ServerArray(part, [&](const VariantRow& row) {
                       return row.record->lineForm ? number(*row.record->lineForm) : std::nullopt;
                     }));
    insert.bindValue(QStringLiteral(":a5"), ServerArray(part, [&](const VariantRow& row) {
                       return row.record->lineForm
                                  ? std::nullopt
                                  : std::optional(QString::fromLatin1(row.record->line.toHex()));
                     }));
    for (int channel = 0; channel < channels; ++channel) {
      // The shortest digits that read back as the same number; a zero keeps its sign.
      insert.bindValue(
          QStringLiteral(":a%1").arg(channel + 6), ServerArray(part, [&](const VariantRow& row) {
            const std::optional<double>& value = row.record->values[size_t(channel)];
            return value ? std::optional(QString::number(*value, 'g', QLocale::FloatingPointShortest))
                         : std::nullopt;
          }));
    }
    if (!insert.exec()) return std::nullopt;
    added += insert.numRowsAffected();
  }
  return added;
}

// The record columns a read back takes, from `first` on: time, pass, offset, form, line, values.
QString RecordColumns() {
  QString columns = QStringLiteral("time, second_pass, utc_offset, line_form, line");
  for (int channel = 1; channel <= ArchivedLine::ChannelCount; ++channel)
    columns += QStringLiteral(", v%1").arg(channel);
  return columns + QStringLiteral(", variant");
}

// Adds the conditions of a period from `from` to `to` (SQL time texts, inclusive; empty: unbounded)
// to `sql`, which selects the records of a device; its parameters, the device first.
std::vector<qint64> PeriodCondition(qint64 deviceId, const QByteArray& from, const QByteArray& to,
                                    QString& sql) {
  std::vector<qint64> parameters{deviceId};
  if (!from.isEmpty()) {
    sql += QStringLiteral(" AND time >= ?");
    parameters.push_back(SecondsOfSqlTime(QString::fromLatin1(from)).value_or(0));
  }
  if (!to.isEmpty()) {
    sql += QStringLiteral(" AND time <= ?");
    parameters.push_back(SecondsOfSqlTime(QString::fromLatin1(to)).value_or(0));
  }
  return parameters;
}

// The values of a row from column `first` on.
ArchivedLine::Values ValuesOf(const QSqlQuery& row, int first) {
  ArchivedLine::Values values;
  for (int channel = 0; channel < ArchivedLine::ChannelCount; ++channel) {
    const QVariant value = row.value(first + channel);
    if (!value.isNull()) values[size_t(channel)] = value.toDouble();
  }
  return values;
}

// Sorts `records` by `less`, keeping the order of equal ones. The records are large: their order is
// found first, then each is moved once.
template <typename Record, typename Less>
void StableSortRecords(std::vector<Record>& records, Less less) {
  if (std::is_sorted(records.begin(), records.end(), less)) return;
  std::vector<size_t> order(records.size());
  std::iota(order.begin(), order.end(), size_t(0));
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return less(records[a], records[b]); });
  std::vector<Record> sorted;
  sorted.reserve(order.size());
  for (const size_t i : order) sorted.push_back(std::move(records[i]));
  records = std::move(sorted);
}

}  // namespace

ArchivedLines PrepareArchivedLines(const ArchiveReadout& readout, const QTimeZone& zone, bool allRecords) {
  ArchivedLines lines = !readout.log || readout.log->records.empty()
                            ? ReadArchivedLines(readout.lines, zone)
                            : ArchiveRecords(*readout.log, readout.lines, zone,
                                             allRecords ? std::vector<bool>() : readout.inEarlierImage);
  // In the key's order, as the merge compares them with the archived ones: sorted here, on the thread
  // that hands the readout over, and not by the writer that all readouts wait for. Of the same record
  // twice the one written first stays first.
  StableSortRecords(lines.records, RecordKeyLess);
  return lines;
}

ArchiveStore::ArchiveStore(const ArchiveLocation& location, ArchiveAccess access, const QTimeZone& zone)
    : location_(location),
      zone_(zone),
      readOnly_(access == ArchiveAccess::ReadOnly),
      makesArchive_(access == ArchiveAccess::ReadWrite),
      connection_(NewConnectionName()) {
  const bool sqlite = location.engine == ArchiveLocation::Engine::SQLite;
  const QString driver = sqlite ? QStringLiteral("QSQLITE") : QStringLiteral("QPSQL");
  if (location.IsOff()) Fail(QStringLiteral("open"), QStringLiteral("no archive is set"));
  if (!QSqlDatabase::isDriverAvailable(driver)) {
    Fail(QStringLiteral("open"), QStringLiteral("the Qt SQL driver %1 is not installed").arg(driver));
  }
  // Only a writing connection makes the file.
  if (sqlite && !makesArchive_ && !QFileInfo::exists(location.path)) {
    holdsArchive_ = false;
    return;
  }
  QSqlDatabase db = QSqlDatabase::addDatabase(driver, connection_);
  if (sqlite) {
    OpenSqlite(db);
  } else {
    db.setHostName(location.host);
    db.setPort(location.port);
    db.setUserName(location.user);
    db.setDatabaseName(location.database);
    db.setConnectOptions(location.connectOptions);
  }
  if (!db.open()) Fail(QStringLiteral("open"), db.lastError().text());
  if (sqlite) {
    // Without checking the cells of every page it reads, SQLite may take a damaged page for the end of
    // a table and answer with the records before it.
    Run(QStringLiteral("PRAGMA cell_size_check = ON"));
    CheckSqliteFile();
  } else if (readOnly_) {
    Run(QStringLiteral("SET SESSION CHARACTERISTICS AS TRANSACTION READ ONLY"));
  }
  PrepareSchema();
  if (sqlite && !readOnly_ && holdsArchive_) {
    UseWriteAheadLog();
    Run(QStringLiteral("PRAGMA synchronous = NORMAL"));
  }
}

// The file is read through SQLite alone, never through a handle of this program's own: closing any handle
// of a file ends every lock the program holds on it, so that another connection of the program, in the
// middle of a write, would no longer keep other programs out. A file of another kind is named for what it
// is, not by a failed query.
void ArchiveStore::CheckSqliteFile() {
  QSqlQuery pages(QSqlDatabase::database(connection_, false));
  if (pages.exec(QStringLiteral("PRAGMA page_count"))) return;
  if (pages.lastError().nativeErrorCode() == QLatin1String(SqliteNotADatabase)) {
    Fail(QStringLiteral("open"),
         QStringLiteral("not an archive: the file is no SQLite database; it is left as it is"));
  }
  Fail(QStringLiteral("PRAGMA page_count"), pages.lastError().text());
}

// Readers go on while one program writes; a write reaches the disk at the checkpoint. The switch writes
// the file's header, and SQLite does not wait when another program writes it at the same moment (making
// the archive too): a write transaction waits for that program as a merge waits, and the switch is tried
// again, finding the mode set or setting it.
void ArchiveStore::UseWriteAheadLog() {
  QElapsedTimer waited;
  waited.start();
  for (;;) {
    QSqlQuery mode(QSqlDatabase::database(connection_, false));
    if (mode.exec(QStringLiteral("PRAGMA journal_mode = WAL"))) return;
    if (mode.lastError().nativeErrorCode() != QLatin1String(SqliteBusy) || waited.elapsed() > BusyTimeoutMs)
      Fail(QStringLiteral("PRAGMA journal_mode"), mode.lastError().text());
    mode.finish();
    Begin();
    Commit();
  }
}

// A reading connection opens the file read-only. SQLite reads a file in write-ahead logging mode
// through a "-shm" index file beside it, which a folder that takes no files cannot get: there, unless
// a program has the archive open (its index file is there), the file is read as one that does not
// change.
void ArchiveStore::OpenSqlite(QSqlDatabase& db) const {
  QStringList options{QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs)};
  QString name = location_.path;
  if (readOnly_) {
    options << QStringLiteral("QSQLITE_OPEN_READONLY");
    const QFileInfo file(location_.path);
    if (!QFileInfo(file.absolutePath()).isWritable() && !QFileInfo::exists(location_.path + "-shm")) {
      options << QStringLiteral("QSQLITE_OPEN_URI");
      name = QUrl::fromLocalFile(file.absoluteFilePath()).toString(QUrl::FullyEncoded) +
             QStringLiteral("?immutable=1");
    }
  }
  db.setDatabaseName(name);
  db.setConnectOptions(options.join(QLatin1Char(';')));
}

ArchiveStore::~ArchiveStore() {
  {
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    db.close();
  }
  QSqlDatabase::removeDatabase(connection_);
}

// The engine's message on one line: PostgreSQL's span several.
void ArchiveStore::Fail(const QString& what, const QString& reason) const {
  throw ValdError(
      QStringLiteral("Archive %1: %2 failed: %3").arg(location_.Describe(), what, reason.simplified()));
}

QSqlQuery ArchiveStore::Run(const QString& sql, const QVariantList& values) {
  QSqlQuery query(QSqlDatabase::database(connection_, false));
  query.setForwardOnly(true);
  // Statements without values run as they are: PostgreSQL prepares no transaction statements.
  const bool done = values.isEmpty() ? query.exec(sql) : [&] {
    if (!query.prepare(sql)) return false;
    for (const QVariant& value : values) query.addBindValue(value);
    return query.exec();
  }();
  if (!done) Fail(sql.section(QLatin1Char(' '), 0, 2), query.lastError().text());
  return query;
}

// A damaged file can end a query half-way: its rows so far are no answer.
bool ArchiveStore::NextRow(QSqlQuery& query) const {
  if (query.next()) return true;
  if (query.lastError().isValid())
    Fail(query.lastQuery().section(QLatin1Char(' '), 0, 2), query.lastError().text());
  return false;
}

// SQLite takes the write lock at the start, so that two programs merging at once wait for each other
// instead of one failing when it turns from reading to writing. A reading connection takes no lock.
void ArchiveStore::Begin(const QString& deviceKey) {
  if (readOnly_) {
    Run(QStringLiteral("BEGIN"));
  } else if (location_.engine == ArchiveLocation::Engine::SQLite) {
    Run(QStringLiteral("BEGIN IMMEDIATE"));
  } else {
    Run(QStringLiteral("BEGIN"));
    // On a shared server one schema check at a time, and one merge of a device at a time: merges of
    // other devices go on side by side.
    if (deviceKey.isEmpty()) {
      Run(QStringLiteral("SELECT pg_advisory_xact_lock(4352)"));
    } else {
      Run(QStringLiteral("SELECT pg_advisory_xact_lock(4352, hashtext(?))"), {deviceKey});
    }
  }
}

void ArchiveStore::Commit() {
  Run(QStringLiteral("COMMIT"));
}

void ArchiveStore::Rollback() {
  QSqlQuery query(QSqlDatabase::database(connection_, false));
  query.exec(QStringLiteral("ROLLBACK"));
}

QString ArchiveStore::RunApart(const std::function<void()>& part) {
  Run(QStringLiteral("SAVEPOINT apart"));
  try {
    part();
  } catch (const ValdError& error) {
    Run(QStringLiteral("ROLLBACK TO SAVEPOINT apart"));
    Run(QStringLiteral("RELEASE SAVEPOINT apart"));
    return error.Message();
  }
  Run(QStringLiteral("RELEASE SAVEPOINT apart"));
  return {};
}

void ArchiveStore::Change(const std::function<void()>& change, const QString& deviceKey) {
  Begin(deviceKey);
  try {
    change();
    Commit();
  } catch (...) {
    Rollback();
    throw;
  }
}

void ArchiveStore::PrepareSchema() {
  const bool sqlite = location_.engine == ArchiveLocation::Engine::SQLite;
  Begin();
  try {
    const QSet<QString> tables = TableNames();
    int version = 0;
    if (!tables.isEmpty()) {
      if (!tables.contains(QStringLiteral("schema_version"))) {
        Fail(QStringLiteral("open"),
             QStringLiteral("not an archive: the database holds other tables; it is left as it is"));
      }
      version = StoredVersion();
      if (version > CurrentSchemaVersion) {
        Fail(QStringLiteral("open"),
             QStringLiteral("the archive was written by a newer version of the program (schema version %1, "
                            "this program knows up to %2); it is left as it is")
                 .arg(version)
                 .arg(CurrentSchemaVersion));
      }
    }
    // A reading connection finds an empty database empty; only a writing one makes the archive.
    holdsArchive_ = makesArchive_ || !tables.isEmpty();
    openedVersion_ = version;
    if (readOnly_ && !tables.isEmpty() && version < CurrentSchemaVersion) {
      Fail(QStringLiteral("open"),
           QStringLiteral("the archive has schema version %1, which a reading command does not change; "
                          "vald_archive upgrade (or the next readout or import) brings it up to version %2")
               .arg(version)
               .arg(CurrentSchemaVersion));
    }
    for (int step = version + 1; holdsArchive_ && step <= CurrentSchemaVersion; ++step) {
      for (const QString& statement : SchemaStep(step, location_.engine)) Run(statement);
      Run(QStringLiteral("UPDATE schema_version SET version = ?"), {step});
    }
    if (holdsArchive_ && version < RecordsLayoutVersion) {
      Run(RecordsTable(location_.engine));
      if (version > 0) CarryRecordsOver(version);
      for (const QString& statement : RecordsTableEnd(location_.engine)) Run(statement);
    }
    Commit();
  } catch (...) {
    Rollback();
    throw;
  }
  // The tables an upgrade replaced leave their pages free in the file: they are given back, so that the
  // upgraded archive is no larger than one made anew.
  if (sqlite && holdsArchive_ && openedVersion_ > 0 && openedVersion_ < CurrentSchemaVersion)
    Run(QStringLiteral("VACUUM"));
}

QSet<QString> ArchiveStore::TableNames() {
  QSqlQuery names = Run(location_.engine == ArchiveLocation::Engine::SQLite
                            ? QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'")
                            : QStringLiteral("SELECT table_name FROM information_schema.tables "
                                             "WHERE table_schema = current_schema()"));
  QSet<QString> tables;
  while (NextRow(names)) tables.insert(names.value(0).toString().toLower());
  return tables;
}

// The version in schema_version. A table without a row, or one whose version is no number, is named
// and left as it is.
int ArchiveStore::StoredVersion() {
  QSqlQuery stored = Run(QStringLiteral("SELECT MAX(version) FROM schema_version"));
  const QVariant value = NextRow(stored) ? stored.value(0) : QVariant();
  if (value.isNull()) {
    Fail(QStringLiteral("open"),
         QStringLiteral("the table schema_version is empty, so the archive's schema version is not known; "
                        "it is left as it is"));
  }
  bool number = false;
  const int version = value.toString().toInt(&number);
  if (!number || version < 1) {
    Fail(QStringLiteral("open"),
         QStringLiteral("the table schema_version holds \"%1\", which is no schema version; it is left as it "
                        "is")
             .arg(value.toString()));
  }
  return version;
}

qint64 ArchiveStore::StoreDevice(const DeviceIdentity& device, const QDateTime& readAt) {
  QSqlQuery query =
      Run(QStringLiteral(
              "INSERT INTO devices (device_key, mac, device_code, device_type, chip_code, last_address, "
              "last_readout) VALUES (?, ?, ?, ?, ?, ?, ?) ON CONFLICT (device_key) DO UPDATE SET "
              "mac = COALESCE(excluded.mac, devices.mac), device_code = excluded.device_code, "
              "device_type = excluded.device_type, "
              "chip_code = COALESCE(excluded.chip_code, devices.chip_code), "
              "last_address = COALESCE(excluded.last_address, devices.last_address), "
              "last_readout = COALESCE(excluded.last_readout, devices.last_readout) RETURNING id"),
          {device.key, NullableText(device.mac), device.deviceCode, device.deviceType,
           device.chipCode ? QVariant(*device.chipCode) : QVariant(), NullableText(device.address),
           readAt.isValid() ? QVariant(SqlTimeText(readAt)) : QVariant()});
  if (!NextRow(query)) Fail(QStringLiteral("INSERT INTO devices"), QStringLiteral("no device id returned"));
  return query.value(0).toLongLong();
}

std::vector<ArchivedVariant> ArchiveStore::ArchivedVariants(qint64 deviceId, const QString& table,
                                                            qint64 first, qint64 last) {
  std::vector<ArchivedVariant> archived;
  QSqlDatabase db = QSqlDatabase::database(connection_, false);
  if (location_.engine == ArchiveLocation::Engine::SQLite) {
    QString error;
    if (!ArchivedSqliteVariants(db, table, deviceId, first, last, archived, error))
      Fail(QStringLiteral("SELECT FROM %1").arg(table), error);
  } else {
    QSqlQuery rows = Run(QStringLiteral("SELECT %1 FROM %2 WHERE device_id = ? AND time >= ? AND time <= ?")
                             .arg(VariantColumns(), table),
                         {deviceId, first, last});
    while (NextRow(rows)) {
      archived.push_back({rows.value(0).toLongLong(), rows.value(1).toInt() != 0, rows.value(2).toInt(),
                          !rows.value(3).isNull(), rows.value(4).toByteArray(), ValuesOf(rows, 5)});
    }
  }
  for (ArchivedVariant& record : archived) TakeZeroSigns(record.values, record.line);
  return archived;
}

int ArchiveStore::InsertRecords(qint64 deviceId, const std::vector<NewRecord>& records,
                                const QString& table) {
  if (records.empty()) return 0;

  // The records archived already in the records' time span are left out before inserting: merging the
  // same log again reads instead of writing. On a server the conflict clause still covers a program
  // merging the same records at the same time; SQLite's write lock, held from the merge's start, keeps
  // any other program out.
  std::vector<const ArchivedLine*> lines;
  lines.reserve(records.size());
  for (const NewRecord& record : records) lines.push_back(record.line);
  const auto [first, last] =
      std::minmax_element(lines.begin(), lines.end(),
                          [](const ArchivedLine* a, const ArchivedLine* b) { return a->time < b->time; });
  std::vector<FreshRecord> fresh =
      FreshRecords(lines, ArchivedVariants(deviceId, table, (*first)->time, (*last)->time));
  // The records of one readout go in together, in the key's order; a merge's are all of one readout.
  const bool oneReadout = std::all_of(records.begin(), records.end(), [&](const NewRecord& record) {
    return record.readoutId == records[0].readoutId;
  });
  if (!oneReadout) {
    std::stable_sort(fresh.begin(), fresh.end(), [&](const FreshRecord& a, const FreshRecord& b) {
      return records[a.index].readoutId.toLongLong() < records[b.index].readoutId.toLongLong();
    });
  }
  QSqlDatabase db = QSqlDatabase::database(connection_, false);
  QSqlQuery insert(db);
  int added = 0;
  std::vector<VariantRow> run;
  for (size_t k = 0; k < fresh.size(); ++k) {
    run.push_back({records[fresh[k].index].line, fresh[k].variant});
    const QVariant& readoutId = records[fresh[k].index].readoutId;
    if (k + 1 < fresh.size() && records[fresh[k + 1].index].readoutId == readoutId) continue;
    QString error;
    const std::optional<int> inserted = location_.engine == ArchiveLocation::Engine::SQLite
                                            ? InsertSqliteRecords(db, table, deviceId, readoutId, run, error)
                                            : InsertRows(insert, table, deviceId, readoutId, run);
    if (!inserted) {
      Fail(QStringLiteral("INSERT INTO %1").arg(table), error.isEmpty() ? insert.lastError().text() : error);
    }
    added += *inserted;
    run.clear();
  }
  return added;
}

MergeResult ArchiveStore::Merge(const ArchiveReadout& readout) {
  return Merge(readout, PrepareArchivedLines(readout, zone_));
}

MergeResult ArchiveStore::Merge(const ArchiveReadout& readout, const ArchivedLines& lines,
                                const MergeAlongside& alongside) {
  MergeResult result;
  result.withoutTime = lines.withoutTime;
  Change(
      [&] {
        const qint64 deviceId = StoreDevice(readout.device, readout.readAt);
        QSqlQuery earlier =
            Run(QStringLiteral("SELECT 1 FROM readouts WHERE device_id = ? LIMIT 1"), {deviceId});
        result.hadReadout = NextRow(earlier);
        const StoredReadout stored =
            readout.image.isEmpty() ? StoredReadout{} : StoreReadout(deviceId, readout);
        const QVariant readoutId = stored.id;
        result.brokenImage = stored.brokenImage;
        // The records of the device's last archived image went into the archive with it: only the others
        // are compared. Had another image come in between, every record is.
        std::optional<ArchivedLines> allRecords;
        if (lines.inEarlierImage > 0 && !stored.followsEarlierImage)
          allRecords = PrepareArchivedLines(readout, zone_, true);
        std::vector<NewRecord> records;
        records.reserve(lines.records.size());
        for (const ArchivedLine& line : allRecords ? allRecords->records : lines.records)
          records.push_back({&line, readoutId});
        result.added = InsertRecords(deviceId, records);
        if (readoutId.isValid())
          Run(QStringLiteral("UPDATE readouts SET added = ? WHERE id = ?"), {result.added, readoutId});
        if (alongside) result.alongsideError = RunApart([&] { alongside(*this); });
      },
      readout.device.key);
  return result;
}

ArchiveStore::StoredReadout ArchiveStore::StoreReadout(qint64 deviceId, const ArchiveReadout& readout) {
  // A whole image now and then keeps the rebuilding of the latest one short.
  constexpr int LongestPatchChain = 32;
  StoredReadout result;
  QVariant base;
  QByteArray image = readout.image;
  QSqlQuery last = Run(QStringLiteral("SELECT MAX(id) FROM readouts WHERE device_id = ?"), {deviceId});
  if (NextRow(last) && !last.value(0).isNull()) {
    const RebuiltImage previous = StoredImage(last.value(0).toLongLong());
    // An image that cannot be rebuilt is no base: this one is kept whole and starts a sound chain.
    if (previous.broken && previous.broken->IsBroken()) result.brokenImage = ChainBreakText(*previous.broken);
    result.followsEarlierImage = !readout.earlierImage.isEmpty() && previous.image == readout.earlierImage;
    if (!previous.broken && previous.image.size() == image.size() && previous.patches < LongestPatchChain) {
      base = last.value(0);
      // Empty for an unchanged device, but not null: the column takes no null.
      image = ImagePatch(previous.image, image);
      if (image.isNull()) image = QByteArray("", 0);
    }
  }
  QSqlQuery stored = Run(
      QStringLiteral("INSERT INTO readouts (device_id, read_at, address, decimal_separator, "
                     "system_decimal_separator, image, lines, added, full_readout, missed_blocks, "
                     "base_readout_id, newest_record_age_minutes) VALUES (?, ?, ?, ?, ?, ?, ?, 0, ?, ?, ?, "
                     "?) RETURNING id"),
      {deviceId, SqlTimeText(readout.readAt), readout.device.address, readout.decimalSeparatorText,
       QByteArray(1, readout.systemDecimalSeparator), image, int(readout.lines.size()),
       int(readout.fullReadout), readout.missedBlocks, base,
       readout.newestRecordAgeMinutes ? QVariant(*readout.newestRecordAgeMinutes)
                                      : QVariant(QMetaType(QMetaType::Double))});
  if (!NextRow(stored))
    Fail(QStringLiteral("INSERT INTO readouts"), QStringLiteral("no readout id returned"));
  result.id = stored.value(0).toLongLong();
  return result;
}

RebuiltImage ArchiveStore::StoredImage(qint64 readoutId) {
  // The readout and every one its patches go back to, in one query: a chain of a few dozen patches is
  // rebuilt without a round trip each. A base is always an earlier readout, so the chain ends; the images
  // are read once each, not carried through the chain's steps.
  QSqlQuery chain = Run(QStringLiteral("WITH RECURSIVE chain(id, base) AS (SELECT id, base_readout_id FROM "
                                       "readouts WHERE id = ? UNION ALL SELECT r.id, r.base_readout_id FROM "
                                       "readouts r JOIN chain c ON r.id = c.base WHERE r.id < c.id) SELECT "
                                       "id, base_readout_id, image FROM readouts WHERE id IN (SELECT id FROM "
                                       "chain) ORDER BY id"),
                        {readoutId});
  std::vector<KeptImage> rows;
  while (NextRow(chain)) rows.push_back(KeptImageOfRow(chain));
  if (rows.empty())
    Fail(QStringLiteral("SELECT FROM readouts"), QStringLiteral("readout %1 is missing").arg(readoutId));
  // The readout comes last, after the earlier ones its chain goes back to.
  RebuiltImage image;
  RebuildImages(rows, [&](const KeptImage&, RebuiltImage& rebuilt) { image = rebuilt; });
  return image;
}

std::vector<KeptImage> ArchiveStore::KeptImagesOf(qint64 deviceId) {
  QSqlQuery query =
      Run(QStringLiteral("SELECT id, base_readout_id, image FROM readouts WHERE device_id = ? ORDER BY id"),
          {deviceId});
  std::vector<KeptImage> rows;
  while (NextRow(query)) rows.push_back(KeptImageOfRow(query));
  return rows;
}

void ArchiveStore::PrepareForManyMerges() {
  if (location_.engine != ArchiveLocation::Engine::SQLite || readOnly_) return;
  constexpr int CacheKiB = 64 * 1024;
  Run(QStringLiteral("PRAGMA cache_size = -%1").arg(CacheKiB));
  Run(QStringLiteral("PRAGMA wal_autocheckpoint = 0"));
}

QList<ArchivedDevice> ArchiveStore::Devices() {
  if (!holdsArchive_) return {};
  QSqlQuery query = Run(QStringLiteral(
      "SELECT d.id, d.device_key, d.mac, d.device_code, d.device_type, d.last_address, d.last_readout, "
      "COUNT(r.device_id), MIN(r.time), MAX(r.time) FROM devices d LEFT JOIN records r ON r.device_id = d.id "
      "GROUP BY d.id, d.device_key, d.mac, d.device_code, d.device_type, d.last_address, d.last_readout "
      "ORDER BY d.device_key"));
  QList<ArchivedDevice> devices;
  while (NextRow(query)) {
    ArchivedDevice device = DeviceOfRow(query);
    device.records = query.value(7).toLongLong();
    if (!query.value(8).isNull()) {
      device.firstTime = QString::fromLatin1(SqlTimeOfSeconds(query.value(8).toLongLong()));
      device.lastTime = QString::fromLatin1(SqlTimeOfSeconds(query.value(9).toLongLong()));
    }
    devices.append(device);
  }
  return devices;
}

std::optional<ArchivedDevice> ArchiveStore::FindDevice(const QString& key) {
  std::optional<ArchivedDevice> device = DeviceRow(key);
  if (!device) return std::nullopt;
  QSqlQuery records = Run(
      QStringLiteral("SELECT COUNT(*), MIN(time), MAX(time) FROM records WHERE device_id = ?"), {device->id});
  if (NextRow(records)) {
    device->records = records.value(0).toLongLong();
    if (!records.value(1).isNull()) {
      device->firstTime = QString::fromLatin1(SqlTimeOfSeconds(records.value(1).toLongLong()));
      device->lastTime = QString::fromLatin1(SqlTimeOfSeconds(records.value(2).toLongLong()));
    }
  }
  return device;
}

std::optional<ArchivedDevice> ArchiveStore::DeviceRow(const QString& key) {
  if (!holdsArchive_) return std::nullopt;
  const QString columns = QStringLiteral(
      "SELECT id, device_key, mac, device_code, device_type, last_address, last_readout FROM devices");
  // The key as the archive spells it is found by its index; another spelling of it by the program's
  // comparison in one case, as the devices list does.
  QSqlQuery exact = Run(columns + QStringLiteral(" WHERE device_key = ?"), {key});
  if (NextRow(exact)) return DeviceOfRow(exact);
  QSqlQuery query = Run(columns);
  while (NextRow(query)) {
    if (query.value(1).toString().compare(key, Qt::CaseInsensitive) != 0) continue;
    return DeviceOfRow(query);
  }
  return std::nullopt;
}

std::optional<QString> ArchiveStore::MacLastSeenAt(const QString& address, int deviceCode) {
  if (!holdsArchive_) return std::nullopt;
  QSqlQuery query = Run(QStringLiteral("SELECT mac FROM devices WHERE last_address = ? AND device_code = ? "
                                       "AND mac <> '' ORDER BY device_key LIMIT 1"),
                        {address, deviceCode});
  if (!NextRow(query)) return std::nullopt;
  return query.value(0).toString();
}

bool ArchiveStore::KnowsDeviceAt(const QString& address, int deviceCode) {
  if (!holdsArchive_) return false;
  QSqlQuery query =
      Run(QStringLiteral("SELECT 1 FROM devices WHERE last_address = ? AND device_code = ? LIMIT 1"),
          {address, deviceCode});
  return NextRow(query);
}

std::optional<LastReadout> ArchiveStore::LastReadoutOf(const QString& deviceKey) {
  if (!holdsArchive_) return std::nullopt;
  QSqlQuery query = Run(
      QStringLiteral("SELECT r.id, r.missed_blocks, (SELECT MAX(f.read_at) FROM readouts f WHERE "
                     "f.device_id = r.device_id AND f.full_readout = 1) FROM readouts r JOIN devices d ON "
                     "d.id = r.device_id WHERE d.device_key = ? ORDER BY r.id DESC LIMIT 1"),
      {deviceKey});
  if (!NextRow(query)) return std::nullopt;
  LastReadout last;
  if (!query.value(1).isNull()) last.missedBlocks = query.value(1).toInt();
  const QString lastFull = TimeText(query.value(2));
  if (!lastFull.isEmpty())
    last.lastFullReadout = QDateTime::fromString(lastFull, QStringLiteral("yyyy-MM-dd hh:mm:ss"));
  const RebuiltImage image = StoredImage(query.value(0).toLongLong());
  last.image = image.image;
  if (image.broken) last.imageProblem = ChainBreakText(*image.broken);
  return last;
}

QList<QByteArray> ArchiveStore::Lines(qint64 deviceId, const QByteArray& from, const QByteArray& to) {
  QList<QByteArray> lines;
  EachRecordInTimeOrder(deviceId, from, to,
                        [&](ArchivedLine& record) { lines.append(std::move(record.line)); });
  return lines;
}

std::vector<ArchivedLine> ArchiveStore::Records(qint64 deviceId, const QByteArray& from,
                                                const QByteArray& to) {
  std::vector<ArchivedLine> records;
  EachRecordInTimeOrder(deviceId, from, to,
                        [&](ArchivedLine& record) { records.push_back(std::move(record)); });
  return records;
}

void ArchiveStore::EachRecordInTimeOrder(qint64 deviceId, const QByteArray& from, const QByteArray& to,
                                         const std::function<void(ArchivedLine&)>& take) {
  if (!holdsArchive_) return;
  QSqlQuery offsets =
      Run(QStringLiteral("SELECT MAX(utc_offset) FROM records WHERE device_id = ?"), {deviceId});
  if (!NextRow(offsets) || offsets.value(0).isNull()) return;
  TimeOrdering ordering(offsets.value(0).toInt(), zone_, take);
  EachRecord(deviceId, from, to, [&](ArchivedLine& record) { ordering.Add(std::move(record)); });
  ordering.Finish();
}

std::optional<ArchivedLine> ArchiveStore::LastRecord(qint64 deviceId, const QByteArray& from,
                                                     const QByteArray& to) {
  if (!holdsArchive_) return std::nullopt;
  QString sql =
      QStringLiteral("SELECT MAX(time), MAX(utc_offset) - MIN(utc_offset) FROM records WHERE device_id = ?");
  const std::vector<qint64> parameters = PeriodCondition(deviceId, from, to, sql);
  QSqlQuery latest = Run(sql, QVariantList(parameters.begin(), parameters.end()));
  if (!NextRow(latest) || latest.value(0).isNull()) return std::nullopt;
  // The last record in time order is no earlier in local time than the latest one less the span of
  // the offsets.
  const qint64 since = latest.value(0).toLongLong() - 60 * latest.value(1).toLongLong();
  const QByteArray tail = std::max(from, SqlTimeOfSeconds(since));
  std::optional<ArchivedLine> last;
  EachRecordInTimeOrder(deviceId, tail, to, [&](ArchivedLine& record) { last = std::move(record); });
  return last;
}

qint64 ArchiveStore::RecordCount(qint64 deviceId, const QByteArray& from, const QByteArray& to) {
  if (!holdsArchive_) return 0;
  QString sql = QStringLiteral("SELECT COUNT(*) FROM records WHERE device_id = ?");
  const std::vector<qint64> parameters = PeriodCondition(deviceId, from, to, sql);
  QSqlQuery count = Run(sql, QVariantList(parameters.begin(), parameters.end()));
  return NextRow(count) ? count.value(0).toLongLong() : 0;
}

void ArchiveStore::EachRecord(qint64 deviceId, const QByteArray& from, const QByteArray& to,
                              const std::function<void(ArchivedLine&)>& keep) {
  if (!holdsArchive_) return;
  QString sql = QStringLiteral("SELECT %1 FROM records WHERE device_id = ?").arg(RecordColumns());
  std::vector<qint64> parameters = PeriodCondition(deviceId, from, to, sql);
  const auto withLine = [&](ArchivedLine& record) {
    if (record.lineForm) {
      std::optional<QByteArray> line = LineOfForm(record.time, record.values, *record.lineForm);
      if (!line)
        Fail(QStringLiteral("SELECT FROM records"), QStringLiteral("a record's line cannot be written"));
      record.line = std::move(*line);
    }
    keep(record);
  };
  if (location_.engine == ArchiveLocation::Engine::SQLite) {
    // In the key's order, which SQLite reads a row at a time without sorting.
    sql += QStringLiteral(" ORDER BY time");
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    QString error;
    if (!ReadSqliteRecords(db, sql, parameters, withLine, error))
      Fail(QStringLiteral("SELECT FROM records"), error);
    return;
  }
  // PostgreSQL hands a query's rows over whole: the key's order a page at a time, each after the last
  // key of the page before.
  constexpr int PageRows = 20000;
  const QString firstPage =
      sql + QStringLiteral(" ORDER BY time, second_pass, variant LIMIT %1").arg(PageRows);
  const QString nextPage =
      sql + QStringLiteral(
                " AND (time, second_pass, variant) > (?, ?, ?) ORDER BY time, second_pass, variant "
                "LIMIT %1")
                .arg(PageRows);
  QVariantList values(parameters.begin(), parameters.end());
  for (int rows = PageRows; rows == PageRows;) {
    QSqlQuery query = Run(values.size() == qsizetype(parameters.size()) ? firstPage : nextPage, values);
    rows = 0;
    QVariantList lastKey;
    while (NextRow(query)) {
      ++rows;
      ArchivedLine record;
      record.time = query.value(0).toLongLong();
      record.secondPass = query.value(1).toInt() != 0;
      record.timeUtc = record.time - 60 * query.value(2).toLongLong();
      if (query.value(3).isNull()) {
        record.line = query.value(4).toByteArray();
      } else {
        record.lineForm = query.value(3).toInt();
      }
      record.values = ValuesOf(query, 5);
      lastKey = {query.value(0), query.value(1), query.value(5 + ArchivedLine::ChannelCount)};
      withLine(record);
    }
    values = QVariantList(parameters.begin(), parameters.end()) + lastKey;
  }
}

QList<ImageRepair> ArchiveStore::RepairImages() {
  QList<ImageRepair> repairs;
  for (const ArchivedDevice& device : Devices()) {
    // As a merge of the device: no readout of it is kept onto an image while that is being mended.
    Begin(device.key);
    try {
      RebuildImages(KeptImagesOf(device.id), [&](const KeptImage& row, RebuiltImage& rebuilt) {
        if (!rebuilt.broken || !rebuilt.broken->IsBroken()) return;
        const QString broken = ChainBreakText(*rebuilt.broken);
        // A patch that holds every block is the whole image; any other readout is kept without one.
        const std::optional<QByteArray> whole = WholeImageOfPatch(row.stored);
        Run(QStringLiteral("UPDATE readouts SET image = ?, base_readout_id = NULL WHERE id = ?"),
            {whole.value_or(QByteArray("", 0)), row.readout});
        if (whole) {
          repairs.append(
              {device.key, row.readout,
               QStringLiteral("%1; its patch holds every block: kept as its whole image").arg(broken)});
          rebuilt = {*whole, 0, std::nullopt};
          return;
        }
        // The readouts patched onto it are still named by where their chain broke.
        // No image vouches for its records any longer: they stay as imported ones do.
        QSqlQuery records = Run(QStringLiteral("UPDATE records SET readout_id = NULL WHERE device_id = ? AND "
                                               "readout_id = ?"),
                                {device.id, row.readout});
        const int kept = records.numRowsAffected();
        repairs.append(
            {device.key, row.readout,
             QStringLiteral("%1; its patch holds only the blocks that changed: it keeps no image now, %2")
                 .arg(broken, kept == 1 ? QStringLiteral("the 1 record archived from it stays")
                                        : QStringLiteral("the %1 records archived from it stay").arg(kept))});
      });
      Commit();
    } catch (...) {
      Rollback();
      throw;
    }
  }
  return repairs;
}

QList<RedecodeResult> ArchiveStore::Redecode() {
  QList<RedecodeResult> results;
  for (const ArchivedDevice& device : Devices()) {
    RedecodeResult result;
    result.deviceKey = device.key;
    Begin();
    try {
      // Every record the images give now, with the first readout that gives it.
      std::vector<std::pair<ArchivedLines, QVariant>> decoded;
      QSqlQuery images = Run(QStringLiteral("SELECT id, decimal_separator, system_decimal_separator FROM "
                                            "readouts WHERE device_id = ? ORDER BY id"),
                             {device.id});
      QList<std::tuple<qint64, QByteArray, QByteArray>> readouts;
      while (NextRow(images)) {
        readouts.append(
            {images.value(0).toLongLong(), images.value(1).toByteArray(), images.value(2).toByteArray()});
      }
      for (const auto& [readoutId, separatorText, systemSeparator] : readouts) {
        ++result.readouts;
        const RebuiltImage stored = StoredImage(readoutId);
        if (stored.broken && !stored.broken->IsBroken()) continue;
        if (stored.broken) {
          Fail(
              QStringLiteral("redecode"),
              QStringLiteral("%1 (vald_archive repair-images mends it)").arg(ChainBreakText(*stored.broken)));
        }
        const std::optional<DecodedImage> image =
            DecodeRawImage(stored.image, separatorText, systemSeparator.isEmpty() ? '.' : systemSeparator[0]);
        if (!image) {
          ++result.undecodable;
          continue;
        }
        decoded.emplace_back(ArchiveRecords(image->log, image->lines, zone_), readoutId);
      }
      if (result.readouts == 0) {
        Rollback();
        continue;
      }
      QHash<QByteArray, NewRecord> decodedByKey;
      std::vector<QByteArray> decodedInOrder;
      for (const auto& [lines, readoutId] : decoded) {
        for (const ArchivedLine& line : lines.records) {
          const QByteArray key = RecordKeyOf(line.time, line.secondPass, line.values);
          if (decodedByKey.contains(key)) continue;
          decodedByKey.insert(key, {&line, readoutId});
          decodedInOrder.push_back(key);
        }
      }
      QSet<QByteArray> archived;
      QList<std::tuple<qint64, int, int>> gone;
      for (const ArchivedVariant& record :
           ArchivedVariants(device.id, QStringLiteral("records"), std::numeric_limits<qint64>::min(),
                            std::numeric_limits<qint64>::max())) {
        const QByteArray key = RecordKeyOf(record.time, record.secondPass, record.values);
        archived.insert(key);
        if (record.fromReadout && !decodedByKey.contains(key))
          gone.append({record.time, int(record.secondPass), record.variant});
      }
      for (const auto& [time, secondPass, variant] : gone) {
        Run(QStringLiteral(
                "DELETE FROM records WHERE device_id = ? AND time = ? AND second_pass = ? AND variant = ?"),
            {device.id, time, secondPass, variant});
      }
      result.removed = int(gone.size());
      std::vector<NewRecord> fresh;
      for (const QByteArray& key : decodedInOrder) {
        if (!archived.contains(key)) fresh.push_back(decodedByKey.value(key));
      }
      result.added = InsertRecords(device.id, fresh);
      Commit();
    } catch (...) {
      Rollback();
      throw;
    }
    results.append(result);
  }
  return results;
}

void ArchiveStore::CarryRecordsOver(int fromVersion) {
  QList<qint64> devices;
  QSqlQuery deviceIds = Run(QStringLiteral("SELECT id FROM devices ORDER BY id"));
  while (NextRow(deviceIds)) devices << deviceIds.value(0).toLongLong();
  for (const qint64 deviceId : devices) {
    if (fromVersion == 1) {
      CarryFirstSchemaRecordsOver(deviceId);
    } else {
      CarrySecondSchemaRecordsOver(deviceId);
    }
  }
}

void ArchiveStore::CarryFirstSchemaRecordsOver(qint64 deviceId) {
  // The first schema kept no ring order: the kept raw images tell the second pass through a repeated
  // hour from the first.
  QHash<QByteArray, ArchivedLine> fromImages;
  QSqlQuery images = Run(QStringLiteral("SELECT image, decimal_separator, system_decimal_separator FROM "
                                        "readouts WHERE device_id = ? ORDER BY id"),
                         {deviceId});
  while (NextRow(images)) {
    const std::optional<DecodedImage> image = DecodeStoredImage(images, 0);
    if (!image) continue;
    for (ArchivedLine& line : ArchiveRecords(image->log, image->lines, zone_).records) {
      if (line.secondPass) fromImages.insert(line.line, std::move(line));
    }
  }
  QString columns = QStringLiteral("CAST(time AS TEXT), line, readout_id");
  for (int channel = 1; channel <= ArchivedLine::ChannelCount; ++channel)
    columns += QStringLiteral(", v%1").arg(channel);
  std::vector<ArchivedLine> lines;
  QVariantList readoutIds;
  CarryOldRecordsOver(
      deviceId, columns, QStringLiteral("time, readout_id, line"),
      [&](const QSqlQuery& old) {
        const QString time = TimeText(old.value(0));
        ArchivedLine& line = lines.emplace_back();
        line.time = SecondsOfSqlTime(time).value_or(0);
        line.line = old.value(1).toByteArray();
        readoutIds << old.value(2);
        line.values = ValuesOf(old, 3);
        return time;
      },
      [&](qsizetype whole) {
        std::vector<qint64> localTimes;
        for (qsizetype i = 0; i < whole; ++i) localTimes.push_back(lines[size_t(i)].time);
        const std::vector<SiteTime> times = SiteTimesInRingOrder(localTimes, zone_);
        std::vector<NewRecord> records;
        for (qsizetype i = 0; i < whole; ++i) {
          ArchivedLine& line = lines[size_t(i)];
          const auto image = fromImages.constFind(line.line);
          line.secondPass = image != fromImages.cend();
          line.timeUtc = line.secondPass ? image->timeUtc : times[size_t(i)].utc;
          line.lineForm = LineFormOf(line);
          records.push_back({&line, readoutIds[i]});
        }
        // The records of one readout go in together; of the same record read twice (at one time
        // stamp, so in one span) the earlier readout's line is kept.
        std::stable_sort(records.begin(), records.end(), [](const NewRecord& a, const NewRecord& b) {
          if (a.readoutId.isNull() != b.readoutId.isNull()) return b.readoutId.isNull();
          return a.readoutId.toLongLong() < b.readoutId.toLongLong();
        });
        InsertRecords(deviceId, records, QLatin1String(NewRecordsTable));
        lines.clear();
        readoutIds.clear();
      });
}

void ArchiveStore::CarrySecondSchemaRecordsOver(qint64 deviceId) {
  QString columns =
      QStringLiteral("CAST(time AS TEXT), CAST(time_utc AS TEXT), second_pass, line, readout_id");
  for (int channel = 1; channel <= ArchivedLine::ChannelCount; ++channel)
    columns += QStringLiteral(", v%1").arg(channel);
  std::vector<ArchivedLine> lines;
  QVariantList readoutIds;
  CarryOldRecordsOver(
      deviceId, columns, QStringLiteral("time, second_pass, value_key"),
      [&](const QSqlQuery& old) {
        const QString time = TimeText(old.value(0));
        ArchivedLine& line = lines.emplace_back();
        line.time = SecondsOfSqlTime(time).value_or(0);
        line.timeUtc = SecondsOfSqlTime(TimeText(old.value(1))).value_or(0);
        line.secondPass = old.value(2).toInt() != 0;
        line.line = old.value(3).toByteArray();
        readoutIds << old.value(4);
        line.values = ValuesOf(old, 5);
        line.lineForm = LineFormOf(line);
        return time;
      },
      [&](qsizetype whole) {
        std::vector<NewRecord> records;
        for (qsizetype i = 0; i < whole; ++i) records.push_back({&lines[size_t(i)], readoutIds[i]});
        InsertRecords(deviceId, records, QLatin1String(NewRecordsTable));
        lines.clear();
        readoutIds.clear();
      });
}

void ArchiveStore::CarryOldRecordsOver(qint64 deviceId, const QString& columns, const QString& order,
                                       const std::function<QString(const QSqlQuery&)>& read,
                                       const std::function<void(qsizetype)>& carry) {
  qsizetype span = 50000;
  QVariantList values{deviceId};
  while (true) {
    QSqlQuery old =
        Run(QStringLiteral("SELECT %1 FROM records WHERE device_id = ? %2 ORDER BY %3 LIMIT %4")
                .arg(columns, values.size() > 1 ? QStringLiteral("AND time >= ?") : QString(), order)
                .arg(span),
            values);
    QStringList times;
    while (NextRow(old)) times << read(old);
    const bool last = times.size() < span;
    // The records of the span's last time stamp go with the next span, whole.
    qsizetype whole = times.size();
    while (!last && whole > 0 && times[whole - 1] == times.back()) --whole;
    if (!last && whole == 0) {
      // One time stamp fills the span: read it again in a span twice as long.
      carry(0);
      span *= 2;
      continue;
    }
    carry(whole);
    if (last) return;
    values = {deviceId, times.back()};
  }
}

ArchiveCheck ArchiveStore::Check() {
  ArchiveCheck check;
  if (!holdsArchive_) {
    check.checked = QStringLiteral("the archive's tables");
    check.problems << QStringLiteral("there is no archive there");
    return check;
  }
  const QSet<QString> present = TableNames();
  QStringList tables;
  for (const char* table : ArchiveTables) {
    if (present.contains(QLatin1String(table))) {
      tables << QLatin1String(table);
    } else {
      check.problems << QStringLiteral("the table %1 is missing").arg(QLatin1String(table));
    }
  }
  if (tables.contains(QLatin1String("readouts")) && tables.contains(QLatin1String("devices"))) {
    // Every readout's image rebuilt from the whole image its patches go back to.
    try {
      QSqlQuery devices = Run(QStringLiteral("SELECT id, device_key FROM devices ORDER BY device_key"));
      QList<std::pair<qint64, QString>> keys;
      while (NextRow(devices)) keys.append({devices.value(0).toLongLong(), devices.value(1).toString()});
      for (const auto& device : keys) {
        const QString& key = device.second;
        RebuildImages(KeptImagesOf(device.first), [&](const KeptImage&, RebuiltImage& rebuilt) {
          if (!rebuilt.broken || !rebuilt.broken->IsBroken()) return;
          check.brokenImages = true;
          check.problems << QStringLiteral("%1: %2").arg(key, ChainBreakText(*rebuilt.broken));
        });
      }
    } catch (const ValdError& error) {
      check.problems << error.Message();
    }
  }
  QSqlQuery query(QSqlDatabase::database(connection_, false));
  query.setForwardOnly(true);
  if (location_.engine == ArchiveLocation::Engine::SQLite) {
    check.checked = QStringLiteral(
        "the archive's tables, every readout's image and SQLite's integrity check of every page, table and "
        "index");
    // One row "ok" for a sound file, else rows of problems, each of one or more lines.
    if (query.exec(QStringLiteral("PRAGMA integrity_check"))) {
      while (query.next()) {
        const QString found = query.value(0).toString();
        if (found != QLatin1String("ok")) check.problems << found.split(QLatin1Char('\n'));
      }
    }
    if (query.lastError().isValid()) check.problems << query.lastError().text().simplified();
    return check;
  }
  // Every row turned into text: the server reads every page of the table and every value kept apart
  // from its row.
  qint64 rows = 0;
  for (const QString& table : tables) {
    if (query.exec(QStringLiteral("SELECT COUNT(CAST(t AS TEXT)) FROM %1 t").arg(table)) && query.next())
      rows += query.value(0).toLongLong();
    if (query.lastError().isValid())
      check.problems << QStringLiteral("%1: %2").arg(table, query.lastError().text().simplified());
  }
  check.checked =
      QStringLiteral(
          "the archive's tables, every readout's image, every row and column of them read through "
          "(%1 rows); "
          "PostgreSQL checks indexes only with the amcheck extension, so they are not checked")
          .arg(rows);
  return check;
}
