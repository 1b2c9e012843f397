#pragma once

#include <QStringList>
#include <array>

#include "archive/ArchiveLocation.h"

// The archive's schema version that this program writes. An archive of an older version is brought up
// to it step by step, all steps in one transaction; one of a newer version is refused and left as it is.
inline constexpr int CurrentSchemaVersion = 3;

// The tables of that version.
inline constexpr std::array<const char*, 5> ArchiveTables = {"schema_version", "devices", "readouts",
                                                             "records", "channels"};

// The statements that take an archive from version `version - 1` to `version` (1: from nothing). A step
// that carries the records over into a new table (CarriesRecordsOver) has them carried between its
// statements and the ones of SchemaStepEnd.
QStringList SchemaStep(int version, ArchiveLocation::Engine engine);
bool CarriesRecordsOver(int version);
QStringList SchemaStepEnd(int version, ArchiveLocation::Engine engine);

// The table the records are carried into before it takes the name "records".
inline constexpr char NewRecordsTable[] = "records_v2";
