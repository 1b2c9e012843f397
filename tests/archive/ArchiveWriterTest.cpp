#include <QThread>
#include <memory>
#include <vector>

#include "ArchiveFixture.h"
#include "archive/ArchiveWriter.h"
#include "core/ValdError.h"

// One writer takes the merges of many threads through its one connection.

namespace {

TEST_P(ArchiveTest, WriterMergesReadoutsGivenByManyThreadsAtOnce) {
  constexpr int Devices = 8;
  constexpr int LinesEach = 200;
  std::vector<ArchiveReadout> readouts;
  for (int device = 0; device < Devices; ++device) {
    readouts.push_back(
        AgateReadout(AgateLines(device * 50, LinesEach),
                     QStringLiteral("00:1A:2B:3C:4D:%1").arg(device, 2, 10, QLatin1Char('0'))));
  }
  std::vector<int> added(Devices, -1);
  {
    ArchiveWriter writer(location);
    std::vector<std::unique_ptr<QThread>> threads;
    for (int device = 0; device < Devices; ++device) {
      threads
          .emplace_back(QThread::create([&, device] {
            added[size_t(device)] = writer.StartMerge(readouts[size_t(device)]).get().added;
          }))
          ->start();
    }
    for (const auto& thread : threads) thread->wait();
  }
  EXPECT_EQ(added, std::vector<int>(Devices, LinesEach));
  EXPECT_EQ(QueryArchive(location, QStringLiteral("SELECT COUNT(*) FROM records"))[0][0].toInt(),
            Devices * LinesEach);
}

INSTANTIATE_TEST_SUITE_P(Engines, ArchiveTest, testing::Values(Engine::SQLite, Engine::PostgreSQL),
                         EngineName);

TEST(ArchiveWriter, OpensTheArchiveAgainAtTheMergeAfterAFailure) {
  TempFolder folder;
  folder.Write(QStringLiteral("archive.sqlite"), QByteArray(8192, char(0x5A)));
  const ArchiveLocation location = ParseArchiveLocation(QStringLiteral("archive.sqlite"), folder.Path());
  ArchiveWriter writer(location);
  const ArchiveReadout readout = AgateReadout(AgateLines(0, 10));
  EXPECT_THROW(writer.StartMerge(readout).get(), ValdError);
  EXPECT_EQ(folder.Read(QStringLiteral("archive.sqlite")), QByteArray(8192, char(0x5A)));
  ASSERT_TRUE(QFile::remove(folder.File(QStringLiteral("archive.sqlite"))));
  EXPECT_EQ(writer.StartMerge(readout).get().added, 10);
}

}  // namespace
