#pragma once

#include <QStringList>
#include <array>

#include "archive/ArchiveLocation.h"

// The archive's schema version that this program writes. An archive of an older version is brought up
// to it step by step; one of a newer version is refused and left as it is.
inline constexpr int CurrentSchemaVersion = 1;

// The tables of that version.
inline constexpr std::array<const char*, 4> ArchiveTables = {"schema_version", "devices", "readouts",
                                                             "records"};

// The statements that take an archive from version `version - 1` to `version` (1: from nothing).
QStringList SchemaStep(int version, ArchiveLocation::Engine engine);
