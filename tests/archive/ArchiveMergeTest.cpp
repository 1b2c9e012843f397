#include <QSqlQuery>
#include <list>

#include "ArchiveFixture.h"
#include "core/ValdError.h"
#include "files/MeasurementLine.h"

// Merges on both engines: a record already archived for the device (same time stamp, same line) is not
// added again, new ones are, and the lines come back in time order.

namespace {

TEST_P(ArchiveTest, SameReadoutTwiceAddsNothing) {
  const ArchiveReadout readout = AgateReadout(AgateLines(0, 300));
  ArchiveStore store(location);
  EXPECT_EQ(store.Merge(readout).added, 300);
  EXPECT_EQ(store.Merge(readout).added, 0);
  const std::optional<ArchivedDevice> device = store.FindDevice(readout.device.key);
  ASSERT_TRUE(device);
  EXPECT_EQ(store.Lines(device->id, "", ""), readout.lines);
}

// More records than PostgreSQL hands over in one page, and than are put in time order at once.
TEST_P(ArchiveTest, ADeviceOfManyRecordsComesBackWholeInTimeOrder) {
  ArchiveStore store(location);
  const QList<QByteArray> lines = AgateLines(0, 25000);
  store.Merge(AgateReadout(lines));
  const qint64 device = store.Devices()[0].id;
  EXPECT_EQ(store.Lines(device, "", ""), lines);
  EXPECT_EQ(store.RecordCount(device, "", "2024-03-02 00:00:00"), 145);
  EXPECT_EQ(store.LastRecord(device, "", "")->line, lines.back());
}

TEST_P(ArchiveTest, ALineTwiceInOneReadoutIsArchivedOnce) {
  QList<QByteArray> lines = AgateLines(0, 300);
  lines.insert(11, lines[10]);
  ArchiveStore store(location);
  EXPECT_EQ(store.Merge(AgateReadout(lines)).added, 300);
  EXPECT_EQ(store.Lines(store.Devices()[0].id, "", ""), AgateLines(0, 300));
}

// A readout patched into an image that is no longer the device's last (another readout was kept in
// between) cannot vouch for the records that image held: they are compared as any others.
TEST_P(ArchiveTest, RecordsOfAnEarlierImageThatIsNoLongerTheLastAreCompared) {
  ArchiveStore store(location);
  std::list<RecordLog> logs;
  const auto readoutOf = [&](int count, const QByteArray& image) {
    ArchiveReadout readout = AgateReadout(AgateLines(0, count));
    readout.log = &logs.emplace_back(ReadMeasurementLines(TextLines(readout.lines)));
    readout.image = image;
    return readout;
  };
  store.Merge(readoutOf(10, "first image"));
  ArchiveReadout patched = readoutOf(15, "patched image");
  patched.earlierImage = "an image kept before the first";
  patched.inEarlierImage.assign(15, true);
  EXPECT_EQ(store.Merge(patched).added, 5);

  ArchiveReadout next = readoutOf(20, "next image");
  next.earlierImage = "patched image";
  next.inEarlierImage.assign(20, true);
  // The last image vouches for what it held: those records are taken as archived, not read again.
  EXPECT_EQ(store.Merge(next).added, 0);
}

TEST_P(ArchiveTest, WrappedRingOverlappingByHalfAddsTheNewHalf) {
  ArchiveStore store(location);
  store.Merge(AgateReadout(AgateLines(0, 200)));
  EXPECT_EQ(store.Merge(AgateReadout(AgateLines(100, 200))).added, 100);
  EXPECT_EQ(store.Lines(store.FindDevice(QStringLiteral("00:1A:2B:3C:4D:5E"))->id, "", ""),
            AgateLines(0, 300));
}

TEST_P(ArchiveTest, LinesOfOneMinuteThatDifferAreAllKeptInTimeOrder) {
  ArchiveStore store(location);
  store.Merge(AgateReadout({"2024;03;01;00;10;1,0;2,0;", "2024;03;01;00;00;1,0;2,0;"}));
  const MergeResult result =
      store.Merge(AgateReadout({"2024;03;01;00;10;1,5;2,0;", "2024;13;01;00;10;1,5;2,0;"}));
  EXPECT_EQ(result.added, 1);
  EXPECT_EQ(result.withoutTime, 1);
  EXPECT_EQ(store.Lines(store.Devices()[0].id, "", ""),
            QList<QByteArray>(
                {"2024;03;01;00;00;1,0;2,0;", "2024;03;01;00;10;1,0;2,0;", "2024;03;01;00;10;1,5;2,0;"}));
  EXPECT_EQ(store.Lines(store.Devices()[0].id, "2024-03-01 00:05:00", "2024-03-01 00:10:00").size(), 2);
}

TEST_P(ArchiveTest, ValuesAreNumbersPerChannelWithNullForMissing) {
  ArchiveStore(location).Merge(AgateReadout({"2024;03;01;14;05;-2,5;--;"}));
  const QList<QVariantList> rows = QueryArchive(location, QStringLiteral("SELECT v1, v2, v3 FROM records"));
  ASSERT_EQ(rows.size(), 1);
  EXPECT_DOUBLE_EQ(rows[0][0].toDouble(), -2.5);
  EXPECT_TRUE(rows[0][1].isNull());
  EXPECT_TRUE(rows[0][2].isNull());
  const QList<QVariantList> times = QueryArchive(
      location,
      QStringLiteral("SELECT COUNT(*) FROM measurements WHERE CAST(time AS TEXT) = '2024-03-01 14:05:00'"));
  EXPECT_EQ(times[0][0].toInt(), 1);
}

TEST_P(ArchiveTest, DevicesAreKnownByMacOrByAddressAndCode) {
  ArchiveStore store(location);
  store.Merge(AgateReadout(AgateLines(0, 10)));
  store.Merge(AgateReadout(AgateLines(5, 10), QString()));
  const QList<ArchivedDevice> devices = store.Devices();
  ASSERT_EQ(devices.size(), 2);
  EXPECT_EQ(devices[0].key, QStringLiteral("00:1A:2B:3C:4D:5E"));
  EXPECT_EQ(devices[0].records, 10);
  EXPECT_EQ(devices[0].deviceType, QStringLiteral("AGATE"));
  EXPECT_EQ(devices[0].firstTime, QStringLiteral("2024-03-01 00:00:00"));
  EXPECT_EQ(devices[0].lastTime, QStringLiteral("2024-03-01 01:30:00"));
  EXPECT_EQ(devices[0].lastReadout, QStringLiteral("2024-04-01 12:00:00"));
  EXPECT_EQ(devices[1].key, QStringLiteral("10.0.0.7/2"));
  EXPECT_EQ(devices[1].records, 10);
}

TEST_P(ArchiveTest, ArchiveOfANewerVersionIsRefusedUntouched) {
  ArchiveStore(location).Merge(AgateReadout(AgateLines(0, 10)));
  QueryArchive(location, QStringLiteral("UPDATE schema_version SET version = 99"));
  try {
    ArchiveStore store(location);
    FAIL() << "a newer archive was opened";
  } catch (const ValdError& error) {
    EXPECT_TRUE(error.Message().contains(QStringLiteral("newer version"))) << error.what();
  }
  EXPECT_EQ(QueryArchive(location, QStringLiteral("SELECT COUNT(*) FROM records"))[0][0].toInt(), 10);
}

TEST_P(ArchiveTest, BrokenArchiveIsNamedOnOneLineAndLeftAsItIs) {
  const struct {
    const char* label;
    QStringList breaking;  // the same statements on both engines
    QString named;
  } cases[] = {
      {"EmptySchemaVersion",
       {QStringLiteral("DELETE FROM schema_version")},
       QStringLiteral("the table schema_version is empty")},
      {"SchemaVersionNoNumber",
       {QStringLiteral("DROP TABLE schema_version"),
        QStringLiteral("CREATE TABLE schema_version (version TEXT)"),
        QStringLiteral("INSERT INTO schema_version (version) VALUES ('one')")},
       QStringLiteral("schema_version holds \"one\", which is no schema version")},
      {"RecordsTableMissing",
       {QStringLiteral("DROP VIEW measurements"), QStringLiteral("DROP TABLE records")},
       QStringLiteral("records")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    QueryArchive(location, QStringLiteral("DROP VIEW IF EXISTS measurements"));
    for (const char* table : {"alarms", "records", "channels", "readouts", "devices", "schema_version"})
      QueryArchive(location, QStringLiteral("DROP TABLE IF EXISTS %1").arg(QLatin1String(table)));
    ArchiveStore(location).Merge(AgateReadout(AgateLines(0, 10)));
    for (const QString& statement : c.breaking) QueryArchive(location, statement);
    try {
      ArchiveStore(location).Merge(AgateReadout(AgateLines(0, 20), QStringLiteral("00:1A:2B:3C:4D:5F")));
      ADD_FAILURE() << "merged into a broken archive";
    } catch (const ValdError& error) {
      EXPECT_TRUE(error.Message().contains(c.named)) << error.what();
      EXPECT_FALSE(error.Message().contains(QLatin1Char('\n'))) << error.what();
    }
    EXPECT_EQ(QueryArchive(location, QStringLiteral("SELECT COUNT(*) FROM devices"))[0][0].toInt(), 1);
  }
}

INSTANTIATE_TEST_SUITE_P(Engines, ArchiveTest, testing::Values(Engine::SQLite, Engine::PostgreSQL),
                         EngineName);

}  // namespace
