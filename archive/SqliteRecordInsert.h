#pragma once

#include <QByteArray>
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

// Which of `records` (a readout's, or one device's carried over) are not in `table` yet: their indexes
// in the key's order, each record once. The device's records in the span of theirs are read in that
// order beside them, without a look-up each. False when the query fails (its message in `error`).
bool FreshSqliteRecords(QSqlDatabase& db, const QString& table, qint64 deviceId,
                        const std::vector<const ArchivedLine*>& records, std::vector<size_t>& fresh,
                        QString& error);

// Inserts records that are not in `table` yet, with one statement prepared for them all. The records
// added, or nothing when a statement fails (its message in `error`).
std::optional<int> InsertSqliteRecords(QSqlDatabase& db, const QString& table, qint64 deviceId,
                                       const QVariant& readoutId,
                                       const std::vector<const ArchivedLine*>& records, QString& error);
