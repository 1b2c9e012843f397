#pragma once

#include <QByteArray>
#include <QSet>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>
#include <optional>
#include <vector>

#include "archive/ArchivedLine.h"

// A merge into an SQLite archive through SQLite's own interface, on the connection Qt SQL opened: the
// texts bound and read without a conversion to UTF-16 and back. A site of devices merges hundreds of
// thousands of records at once, which Qt SQL's binding by name took longer to hand over than SQLite took
// to store them.

// The keys (RecordKeyOf) of the device's records in `table` from `first` to `last` (local SQL times),
// or nothing when the query fails (its message in `error`).
std::optional<QSet<QByteArray>> SqliteRecordKeys(QSqlDatabase& db, const QString& table, qint64 deviceId,
                                                 const QByteArray& first, const QByteArray& last,
                                                 QString& error);

// Inserts records that are not in `table` yet, with one statement prepared for them all. The records
// added, or nothing when a statement fails (its message in `error`).
std::optional<int> InsertSqliteRecords(QSqlDatabase& db, const QString& table, qint64 deviceId,
                                       const QVariant& readoutId,
                                       const std::vector<const ArchivedLine*>& records, QString& error);
