#include "archive/ArchiveStore.h"

#include <QDateTime>
#include <QFileInfo>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QVariant>
#include <algorithm>
#include <atomic>
#include <vector>

#include "archive/ArchiveSchema.h"
#include "archive/ArchivedLine.h"
#include "archive/RawImageDecoding.h"
#include "core/ValdError.h"

namespace {

// A second program merging at the same time waits this long for the first to finish.
constexpr int BusyTimeoutMs = 30000;
// Bound values per INSERT: many records a statement mean fewer statements to run on SQLite and fewer
// round trips to a server, while SQLite's time to prepare a statement grows faster than its values.
constexpr int ValuesPerInsert = 250;

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

QVariant NullableText(const QString& text) {
  return text.isEmpty() ? QVariant() : QVariant(text);
}

// The channels up to the last one that holds a value in any of the records: the ones after it stay
// NULL without being bound.
int ChannelsInUse(const std::vector<const ArchivedLine*>& records) {
  int channels = 0;
  for (const ArchivedLine* record : records) {
    for (int channel = ArchivedLine::ChannelCount; channel > channels; --channel) {
      if (record->values[size_t(channel - 1)]) {
        channels = channel;
        break;
      }
    }
  }
  return channels;
}

QString SqlLiteral(const QVariant& id) {
  return id.isNull() ? QStringLiteral("NULL") : QString::number(id.toLongLong());
}

// "INSERT INTO records" of `records` rows from one readout (or none) of the device: each binds its time,
// line and `channels` values, named in turn from `names`. The ids are written into the statement, to
// spare binding them per row.
QString InsertStatement(qint64 deviceId, const QVariant& readoutId, int channels, const QStringList& names,
                        int records) {
  QString columns = QStringLiteral("device_id, time, line, readout_id");
  for (int channel = 1; channel <= channels; ++channel) columns += QStringLiteral(", v%1").arg(channel);
  const QString ids = QStringLiteral("(%1, ").arg(deviceId);
  const QString readout = QStringLiteral(", %1").arg(SqlLiteral(readoutId));
  QString values;
  int index = 0;
  for (int i = 0; i < records; ++i) {
    if (i > 0) values += QStringLiteral(", ");
    values += ids + names[index] + QStringLiteral(", ") + names[index + 1] + readout;
    index += 2;
    for (int channel = 0; channel < channels; ++channel) values += QStringLiteral(", ") + names[index++];
    values += QLatin1Char(')');
  }
  return QStringLiteral("INSERT INTO records (%1) VALUES %2 ON CONFLICT DO NOTHING").arg(columns, values);
}

// Inserts `records`, all of one readout, as few statements as the bound values allow; the rows added,
// or nothing when a statement fails (its error in `insert`). Values are bound by name: Qt makes up a
// name for every value bound by position, which took longer than SQLite's insert.
std::optional<int> InsertRows(QSqlQuery& insert, qint64 deviceId, const QVariant& readoutId,
                              const std::vector<const ArchivedLine*>& records) {
  const int channels = ChannelsInUse(records);
  const size_t perInsert = size_t(ValuesPerInsert / (2 + channels));
  QStringList names;
  for (size_t i = 0; i < perInsert * size_t(2 + channels); ++i) names << QStringLiteral(":v%1").arg(i);
  int added = 0;
  size_t prepared = 0;
  for (size_t start = 0; start < records.size(); start += perInsert) {
    const size_t count = std::min(perInsert, records.size() - start);
    if (count != prepared) {
      if (!insert.prepare(InsertStatement(deviceId, readoutId, channels, names, int(count))))
        return std::nullopt;
      prepared = count;
    }
    int index = 0;
    for (size_t i = start; i < start + count; ++i) {
      const ArchivedLine& line = *records[i];
      insert.bindValue(names[index++], QString::fromLatin1(line.time));
      insert.bindValue(names[index++], line.line);
      for (int channel = 0; channel < channels; ++channel) {
        const std::optional<double>& value = line.values[size_t(channel)];
        insert.bindValue(names[index++], value ? QVariant(*value) : QVariant());
      }
    }
    if (!insert.exec()) return std::nullopt;
    added += insert.numRowsAffected();
  }
  return added;
}

}  // namespace

ArchiveStore::ArchiveStore(const ArchiveLocation& location, ArchiveAccess access)
    : location_(location), readOnly_(access == ArchiveAccess::ReadOnly), connection_(NewConnectionName()) {
  const bool sqlite = location.engine == ArchiveLocation::Engine::SQLite;
  const QString driver = sqlite ? QStringLiteral("QSQLITE") : QStringLiteral("QPSQL");
  if (location.IsOff()) Fail(QStringLiteral("open"), QStringLiteral("no archive is set"));
  if (!QSqlDatabase::isDriverAvailable(driver)) {
    Fail(QStringLiteral("open"), QStringLiteral("the Qt SQL driver %1 is not installed").arg(driver));
  }
  // A reading connection does not make the file it was to read.
  if (sqlite && readOnly_ && !QFileInfo::exists(location.path)) {
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
  } else if (readOnly_) {
    Run(QStringLiteral("SET SESSION CHARACTERISTICS AS TRANSACTION READ ONLY"));
  }
  PrepareSchema();
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
void ArchiveStore::Begin() {
  if (readOnly_) {
    Run(QStringLiteral("BEGIN"));
  } else if (location_.engine == ArchiveLocation::Engine::SQLite) {
    Run(QStringLiteral("BEGIN IMMEDIATE"));
  } else {
    Run(QStringLiteral("BEGIN"));
    // One schema check at a time on a shared server.
    Run(QStringLiteral("SELECT pg_advisory_xact_lock(4352)"));
  }
}

void ArchiveStore::Commit() {
  Run(QStringLiteral("COMMIT"));
}

void ArchiveStore::Rollback() {
  QSqlQuery query(QSqlDatabase::database(connection_, false));
  query.exec(QStringLiteral("ROLLBACK"));
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
             QStringLiteral("the database holds other tables and no archive; it is left as "
                            "it is"));
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
    holdsArchive_ = !readOnly_ || !tables.isEmpty();
    for (int step = version + 1; holdsArchive_ && step <= CurrentSchemaVersion; ++step) {
      for (const QString& statement : SchemaStep(step, location_.engine)) Run(statement);
      Run(QStringLiteral("UPDATE schema_version SET version = ?"), {step});
    }
    Commit();
  } catch (...) {
    Rollback();
    throw;
  }
  if (sqlite && !readOnly_) {
    // Readers go on while one program writes; a write reaches the disk at the checkpoint.
    Run(QStringLiteral("PRAGMA journal_mode = WAL"));
    Run(QStringLiteral("PRAGMA synchronous = NORMAL"));
  }
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

int ArchiveStore::InsertRecords(qint64 deviceId, const std::vector<NewRecord>& records) {
  if (records.empty()) return 0;

  // The lines archived already in the readout's time span are left out before inserting: merging the
  // same log again reads instead of writing. The conflict clause still covers a program merging the same
  // lines at the same time.
  const auto [first, last] =
      std::minmax_element(records.begin(), records.end(),
                          [](const NewRecord& a, const NewRecord& b) { return a.line->time < b.line->time; });
  QSet<QByteArray> known;
  QSqlQuery existing =
      Run(QStringLiteral("SELECT line FROM records WHERE device_id = ? AND time >= ? AND time <= ?"),
          {deviceId, QString::fromLatin1(first->line->time), QString::fromLatin1(last->line->time)});
  while (NextRow(existing)) known.insert(existing.value(0).toByteArray());
  // Runs of records of one readout go in together; a line twice in them is left to the conflict clause.
  int added = 0;
  QSqlQuery insert(QSqlDatabase::database(connection_, false));
  std::vector<const ArchivedLine*> run;
  for (size_t i = 0; i < records.size(); ++i) {
    if (!known.contains(records[i].line->line)) run.push_back(records[i].line);
    const bool runEnds = i + 1 == records.size() || records[i + 1].readoutId != records[i].readoutId;
    if (!runEnds || run.empty()) continue;
    const std::optional<int> inserted = InsertRows(insert, deviceId, records[i].readoutId, run);
    if (!inserted) Fail(QStringLiteral("INSERT INTO records"), insert.lastError().text());
    added += *inserted;
    run.clear();
  }
  return added;
}

MergeResult ArchiveStore::Merge(const ArchiveReadout& readout) {
  return Merge(readout, ReadArchivedLines(readout.lines, readout.decimalSeparator));
}

MergeResult ArchiveStore::Merge(const ArchiveReadout& readout, const ArchivedLines& lines) {
  MergeResult result;
  result.withoutTime = lines.withoutTime;
  Begin();
  try {
    const qint64 deviceId = StoreDevice(readout.device, readout.readAt);
    QVariant readoutId;
    if (!readout.image.isEmpty()) {
      QSqlQuery stored = Run(
          QStringLiteral(
              "INSERT INTO readouts (device_id, read_at, address, decimal_separator, "
              "system_decimal_separator, image, lines, added) VALUES (?, ?, ?, ?, ?, ?, ?, 0) RETURNING id"),
          {deviceId, SqlTimeText(readout.readAt), readout.device.address, readout.decimalSeparatorText,
           QByteArray(1, readout.systemDecimalSeparator), readout.image, int(readout.lines.size())});
      if (!NextRow(stored))
        Fail(QStringLiteral("INSERT INTO readouts"), QStringLiteral("no readout id returned"));
      readoutId = stored.value(0).toLongLong();
    }
    std::vector<NewRecord> records;
    records.reserve(lines.records.size());
    for (const ArchivedLine& line : lines.records) records.push_back({&line, readoutId});
    result.added = InsertRecords(deviceId, records);
    if (readoutId.isValid())
      Run(QStringLiteral("UPDATE readouts SET added = ? WHERE id = ?"), {result.added, readoutId});
    Commit();
  } catch (...) {
    Rollback();
    throw;
  }
  return result;
}

QList<ArchivedDevice> ArchiveStore::Devices() {
  if (!holdsArchive_) return {};
  QSqlQuery query = Run(QStringLiteral(
      "SELECT d.id, d.device_key, d.mac, d.device_code, d.device_type, d.last_address, d.last_readout, "
      "COUNT(r.line), MIN(r.time), MAX(r.time) FROM devices d LEFT JOIN records r ON r.device_id = d.id "
      "GROUP BY d.id, d.device_key, d.mac, d.device_code, d.device_type, d.last_address, d.last_readout "
      "ORDER BY d.device_key"));
  QList<ArchivedDevice> devices;
  while (NextRow(query)) {
    ArchivedDevice device;
    device.id = query.value(0).toLongLong();
    device.key = query.value(1).toString();
    device.mac = query.value(2).toString();
    device.deviceCode = query.value(3).toInt();
    device.deviceType = query.value(4).toString();
    device.lastAddress = query.value(5).toString();
    device.lastReadout = TimeText(query.value(6));
    device.records = query.value(7).toLongLong();
    device.firstTime = TimeText(query.value(8));
    device.lastTime = TimeText(query.value(9));
    devices.append(device);
  }
  return devices;
}

std::optional<ArchivedDevice> ArchiveStore::FindDevice(const QString& key) {
  for (const ArchivedDevice& device : Devices()) {
    if (device.key.compare(key, Qt::CaseInsensitive) == 0) return device;
  }
  return std::nullopt;
}

QList<QByteArray> ArchiveStore::Lines(qint64 deviceId, const QByteArray& from, const QByteArray& to) {
  if (!holdsArchive_) return {};
  QString sql = QStringLiteral("SELECT line FROM records WHERE device_id = ?");
  QVariantList values{deviceId};
  if (!from.isEmpty()) {
    sql += QStringLiteral(" AND time >= ?");
    values << QString::fromLatin1(from);
  }
  if (!to.isEmpty()) {
    sql += QStringLiteral(" AND time <= ?");
    values << QString::fromLatin1(to);
  }
  QSqlQuery query = Run(sql + QStringLiteral(" ORDER BY time, line"), values);
  QList<QByteArray> lines;
  while (NextRow(query)) lines.append(query.value(0).toByteArray());
  return lines;
}

QList<RedecodeResult> ArchiveStore::Redecode() {
  QList<RedecodeResult> results;
  for (const ArchivedDevice& device : Devices()) {
    RedecodeResult result;
    result.deviceKey = device.key;
    Begin();
    try {
      // Every line the images give now, with the first readout that gives it.
      QHash<QByteArray, QVariant> decoded;
      QList<QByteArray> decodedInOrder;
      char decimalSeparator = '.';
      QSqlQuery images =
          Run(QStringLiteral("SELECT id, image, decimal_separator, system_decimal_separator FROM "
                             "readouts WHERE device_id = ? ORDER BY id"),
              {device.id});
      while (NextRow(images)) {
        ++result.readouts;
        const QByteArray separatorText = images.value(2).toByteArray();
        const QByteArray systemSeparator = images.value(3).toByteArray();
        const char system = systemSeparator.isEmpty() ? '.' : systemSeparator[0];
        decimalSeparator = separatorText.isEmpty() ? system : separatorText[0];
        const std::optional<QList<QByteArray>> lines =
            DecodeRawImage(images.value(1).toByteArray(), separatorText, system);
        if (!lines) {
          ++result.undecodable;
          continue;
        }
        for (const QByteArray& line : *lines) {
          if (!decoded.contains(line)) {
            decoded.insert(line, images.value(0));
            decodedInOrder.append(line);
          }
        }
      }
      if (result.readouts == 0) {
        Rollback();
        continue;
      }
      QHash<QByteArray, bool> archived;  // line -> archived from a readout
      QSqlQuery records =
          Run(QStringLiteral("SELECT line, time, readout_id FROM records WHERE device_id = ?"), {device.id});
      QList<std::pair<QByteArray, QString>> gone;
      while (NextRow(records)) {
        const QByteArray line = records.value(0).toByteArray();
        const bool fromReadout = !records.value(2).isNull();
        archived.insert(line, fromReadout);
        if (fromReadout && !decoded.contains(line)) gone.append({line, TimeText(records.value(1))});
      }
      for (const auto& [line, time] : gone) {
        Run(QStringLiteral("DELETE FROM records WHERE device_id = ? AND time = ? AND line = ?"),
            {device.id, time, line});
      }
      result.removed = int(gone.size());
      // Lines without a valid time stamp stay out, as in a merge.
      std::vector<ArchivedLine> freshLines;
      QVariantList freshReadouts;
      for (const QByteArray& line : decodedInOrder) {
        if (archived.contains(line)) continue;
        if (std::optional<ArchivedLine> read = ReadArchivedLine(line, decimalSeparator)) {
          freshLines.push_back(std::move(*read));
          freshReadouts.append(decoded.value(line));
        }
      }
      std::vector<NewRecord> fresh;
      for (size_t i = 0; i < freshLines.size(); ++i)
        fresh.push_back({&freshLines[i], freshReadouts[qsizetype(i)]});
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
  QSqlQuery query(QSqlDatabase::database(connection_, false));
  query.setForwardOnly(true);
  if (location_.engine == ArchiveLocation::Engine::SQLite) {
    check.checked =
        QStringLiteral("the archive's tables and SQLite's integrity check of every page, table and index");
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
  check.checked = QStringLiteral(
                      "the archive's tables, every row and column of them read through (%1 rows); "
                      "PostgreSQL checks indexes only with the amcheck extension, so they are not checked")
                      .arg(rows);
  return check;
}
