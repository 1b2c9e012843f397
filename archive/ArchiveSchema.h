#pragma once

#include <QStringList>
#include <array>

#include "archive/ArchiveLocation.h"

// The archive's schema version that this program writes. An archive of an older version is brought up
// to it step by step, all steps in one transaction; one of a newer version is refused and left as it is.
inline constexpr int CurrentSchemaVersion = 4;

// The tables of that version.
inline constexpr std::array<const char*, 6> ArchiveTables = {"schema_version", "devices",  "readouts",
                                                             "records",        "channels", "alarms"};

// The statements that take an archive from version `version - 1` to `version` (1: from nothing), its
// records table apart.
QStringList SchemaStep(int version, ArchiveLocation::Engine engine);

// The version that gave the records table its present layout. An archive below it has the table made
// anew (RecordsTable), its records carried over into it, and then the name "records" and the
// measurements view (RecordsTableEnd).
inline constexpr int RecordsLayoutVersion = 3;
inline constexpr char NewRecordsTable[] = "records_new";
QString RecordsTable(ArchiveLocation::Engine engine);
QStringList RecordsTableEnd(ArchiveLocation::Engine engine);
