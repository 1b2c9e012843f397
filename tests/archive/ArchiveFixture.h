#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QList>
#include <QVariant>

#include "archive/ArchiveLocation.h"
#include "archive/ArchiveStore.h"
#include "support/TempFolder.h"

// The archive engines every merge test runs on: an SQLite file in a fresh folder, and a fresh database
// on the PostgreSQL server named by VALD_TEST_POSTGRES_URL (started by scripts/with-postgres.sh).
enum class Engine { SQLite, PostgreSQL };

class ArchiveTest : public testing::TestWithParam<Engine> {
 protected:
  void SetUp() override;

  TempFolder folder;
  ArchiveLocation location;
};

std::string EngineName(const testing::TestParamInfo<Engine>& info);

// AGATE lines every ten minutes from 2024-03-01 00:00: the line numbers `first` .. `first + count - 1`,
// values with a decimal comma, every 7th line with a missing value.
QList<QByteArray> AgateLines(int first, int count);

// A readout of the AGATE with `mac` (empty: known by address) that gave `lines`, without a raw image.
ArchiveReadout AgateReadout(const QList<QByteArray>& lines,
                            const QString& mac = QStringLiteral("00:1A:2B:3C:4D:5E"));

// Puts an archive of the first schema into `location`, as today's vald_read and vald_archive made it
// (tests/archive/data): the AGATE 00:1A:2B:3C:4D:5E read twice, with "." and with "," (594 lines for
// 300 records, two raw images), and that readout's file imported as AA:BB:CC:DD:EE:FF (300 lines).
void LoadSchemaOneArchive(const ArchiveLocation& location);

// Puts an SQLite archive of the second schema at `path`, as vald_read and vald_archive of that schema made
// it (tests/archive/data/schema2.sqlite) at Europe/Budapest: an AGATE (00:1A:2B:3C:4D:01, 300 records,
// read with "," and again with "."), an IOLITE (…:02, 200 records) and a JASPER of relay events (…:03,
// 200 records) read at once, and a file of 7 AGATE lines around the autumn change of 2023 imported as
// …:04: a line with more decimals than its number needs, one with both separators, records of one
// minute that differ.
void LoadSchemaTwoArchive(const QString& path);

// Every row of `sql` on a connection of its own, each row's columns in order.
QList<QVariantList> QueryArchive(const ArchiveLocation& location, const QString& sql);
