#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

#include "archive/ArchiveStore.h"

// What the command line of vald_archive asks for.
struct ArchiveCommand {
  QString name;  // list, export, import, redecode, repair-images, check, stats, report, upgrade
  QStringList arguments;
  QString device;
  bool force = false;  // import: a file of another device type than the archived device's is taken
  QString from;
  QString to;
  QString out;
  QString format;  // export: file, csv, csv-excel, json, influx, xlsx (empty: file); stats: text, csv or json
  bool byteOrderMark = false;  // export --format csv: UTF-8's byte order mark first
  QString limits;              // report: the limits file; empty: limits.csv beside an SQLite archive, if any
  QString timeZone;            // the site's time zone; empty: the system's
  QString language;            // report: hu or en (empty: hu)
  bool hash = false;           // stats: the SHA-256 of the records instead of the statistics
  QString report;              // check: a report whose records are checked against the archive
};

inline constexpr int ExitSuccess = 0;
inline constexpr int ExitFailure = 1;
inline constexpr int ExitUsage = 2;

// Runs one command, as ParseArchiveCommandLine gives it (every value usable), on the archive at
// `location`; results go to `out`, problems to `err`. Returns the exit status. Throws ValdError for an
// archive that cannot be opened or read.
int RunArchiveCommand(const ArchiveLocation& location, const ArchiveCommand& command, QTextStream& out,
                      QTextStream& err);
