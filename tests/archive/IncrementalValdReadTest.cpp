#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include "ArchiveFixture.h"
#include "support/ProgramRun.h"
#include "support/SimulatorFixture.h"

// vald_read against an archive that holds the device's earlier readout: what is new alone is asked for,
// and the file and the archive come out as a full readout of the same memory makes them.

namespace {

// An AGATE ring that has not turned, holding its first `records` records.
SimulatorConfig AgateHolding(int records) {
  SimulatorConfig config;
  config.wrapped = false;
  config.recordCount = records;
  return config;
}

struct DeviceRun {
  QJsonObject json;
  QByteArray file;
};

DeviceRun ReadInto(const SimulatorConfig& device, const QString& archive, const TempFolder& out,
                   const QStringList& more = {}) {
  const RunningSimulator simulator(device);
  const ProcessResult run =
      RunProgram(QStringLiteral(VALD_READ_PATH),
                 QStringList{QStringLiteral("--port"), QString::number(simulator.Port()),
                             QStringLiteral("--out"), out.Path(), QStringLiteral("--time"),
                             QStringLiteral("2024-04-01 12:00"), QStringLiteral("--archive"), archive,
                             QStringLiteral("--json"), QStringLiteral("127.0.0.1")} +
                     more);
  EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
  return {QJsonDocument::fromJson(run.out.toUtf8()).object(),
          out.Read(QStringLiteral("24.04.01 12.00 VALD_AGATE.csv"))};
}

QList<QVariantList> ArchivedRecords(const QString& archive) {
  ArchiveLocation location;
  location.engine = ArchiveLocation::Engine::SQLite;
  location.path = archive;
  return QueryArchive(location,
                      QStringLiteral("SELECT time, second_pass, variant, utc_offset, line_form, line, "
                                     "v1, v2 FROM records ORDER BY 1, 2, 3"));
}

TEST(ValdReadNewOnly, ARingThatGainedRecordsGivesWhatAFullReadoutGives) {
  TempFolder folder;
  const QString incremental = folder.File(QStringLiteral("incremental.sqlite"));
  const QString full = folder.File(QStringLiteral("full.sqlite"));
  TempFolder first;
  const DeviceRun earlier = ReadInto(AgateHolding(300), incremental, first);
  EXPECT_EQ(earlier.json.value(QStringLiteral("readout")).toString(), QStringLiteral("full"));
  ASSERT_TRUE(QFile::copy(incremental, full));

  TempFolder newOnlyOut;
  TempFolder fullOut;
  const DeviceRun newOnly = ReadInto(AgateHolding(305), incremental, newOnlyOut);
  const DeviceRun everyBlock = ReadInto(AgateHolding(305), full, fullOut, {QStringLiteral("--full")});

  EXPECT_EQ(newOnly.json.value(QStringLiteral("readout")).toString(), QStringLiteral("incremental"));
  EXPECT_LE(newOnly.json.value(QStringLiteral("blockRequests")).toInt(), 2);
  EXPECT_EQ(everyBlock.json.value(QStringLiteral("fullReason")).toString(), QStringLiteral("--full"));
  EXPECT_EQ(everyBlock.json.value(QStringLiteral("blockRequests")).toInt(), 32);
  EXPECT_EQ(newOnly.file, everyBlock.file);
  EXPECT_EQ(newOnly.json.value(QStringLiteral("newRecordsArchived")).toInt(), 5);
  EXPECT_EQ(ArchivedRecords(incremental), ArchivedRecords(full));
}

TEST(ValdReadNewOnly, ReReadsOfAnUnchangedDeviceKeepNoNewImage) {
  TempFolder folder;
  const QString archive = folder.File(QStringLiteral("archive.sqlite"));
  TempFolder out;
  ReadInto(AgateHolding(300), archive, out);
  const qint64 before = QFileInfo(archive).size();
  for (int k = 0; k < 20; ++k) ReadInto(AgateHolding(300), archive, out, {QStringLiteral("--no-files")});
  EXPECT_LE(QFileInfo(archive).size() - before, 64 * 1024);
}

}  // namespace
