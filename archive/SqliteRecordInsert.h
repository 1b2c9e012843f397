#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QVariant>
#include <functional>
#include <optional>
#include <vector>

#include "archive/RecordVariants.h"

// A merge into an SQLite archive through SQLite's own interface, on the connection Qt SQL opened: the
// values bound and read without Qt's conversions. A site of devices merges hundreds of thousands of
// records at once, which Qt SQL's binding by name took longer to hand over than SQLite took to store
// them; reading a year of records back through it took longer than writing their lines again.

// The device's records in `table` from local time `first` to `last`, as a merge compares new records
// with them. False when the query fails (its message in `error`).
bool ArchivedSqliteVariants(QSqlDatabase& db, const QString& table, qint64 deviceId, qint64 first,
                            qint64 last, std::vector<ArchivedVariant>& archived, QString& error);

// Hands each record the query `sql` gives to `take`, `parameters` bound in their order; its columns are
// the time, the pass, the UTC offset, the line form, the kept line and the channel values. A record with
// a form gets no line here. False when the query fails (its message in `error`).
bool ReadSqliteRecords(QSqlDatabase& db, const QString& sql, const std::vector<qint64>& parameters,
                       const std::function<void(ArchivedLine&)>& take, QString& error);

// Inserts records that are not in `table` yet, with one statement prepared for them all. The records
// added, or nothing when a statement fails (its message in `error`).
std::optional<int> InsertSqliteRecords(QSqlDatabase& db, const QString& table, qint64 deviceId,
                                       const QVariant& readoutId, const std::vector<VariantRow>& rows,
                                       QString& error);
