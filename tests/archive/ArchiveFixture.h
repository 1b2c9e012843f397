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

// Every row of `sql` on a connection of its own, each row's columns in order.
QList<QVariantList> QueryArchive(const ArchiveLocation& location, const QString& sql);
