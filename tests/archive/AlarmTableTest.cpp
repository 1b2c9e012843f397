#include "ArchiveFixture.h"
#include "archive/AlarmTable.h"

// The alarms reported so far, beside the archive's own tables, on both engines.

namespace {

using AlarmTableTest = ArchiveTest;

TEST_P(AlarmTableTest, AnAlarmIsNewOnceAndARunThatGrewKeepsItsRow) {
  ArchiveStore store(location);
  store.Merge(AgateReadout(AgateLines(0, 10)));
  ArchivedAlarm alarm{QStringLiteral("00:1A:2B:3C:4D:5E"),
                      1,
                      QStringLiteral("temperature"),
                      QStringLiteral("high"),
                      8,
                      QStringLiteral("2024-03-01 00:10"),
                      QStringLiteral("2024-03-01 00:20"),
                      2,
                      9.1};
  EXPECT_TRUE(AlarmTable(store).Keep(alarm));
  alarm.end = QStringLiteral("2024-03-01 00:50");
  alarm.records = 5;
  alarm.extreme = 9.6;
  // A second table on the same archive finds the table there.
  AlarmTable table(store);
  EXPECT_FALSE(table.Keep(alarm));
  ArchivedAlarm low = alarm;
  low.limit = QStringLiteral("low");
  EXPECT_TRUE(table.Keep(low));
  ArchivedAlarm otherChannel = alarm;
  otherChannel.channel = 2;
  EXPECT_TRUE(table.Keep(otherChannel));
  const QList<QVariantList> rows = QueryArchive(
      location, QStringLiteral("SELECT end_time, records, extreme FROM alarms WHERE channel = 1 AND "
                               "limit_side = 'high'"));
  ASSERT_EQ(rows.size(), 1);
  EXPECT_EQ(rows[0][0].toString(), QStringLiteral("2024-03-01 00:50"));
  EXPECT_EQ(rows[0][1].toInt(), 5);
  EXPECT_DOUBLE_EQ(rows[0][2].toDouble(), 9.6);
  EXPECT_TRUE(store.Check().problems.isEmpty())
      << store.Check().problems.join(QLatin1Char('\n')).toStdString();
}

// The ring overwrote the first records of a run still going on: the run the next readout finds starts
// later, within the kept one, and is the same alarm, not a new one.
TEST_P(AlarmTableTest, ARunThatLostItsFirstRecordsIsTheSameAlarm) {
  ArchiveStore store(location);
  store.Merge(AgateReadout(AgateLines(0, 10)));
  AlarmTable table(store);
  ArchivedAlarm alarm{QStringLiteral("00:1A:2B:3C:4D:5E"),
                      1,
                      QStringLiteral("temperature"),
                      QStringLiteral("high"),
                      8,
                      QStringLiteral("2024-03-01 00:10"),
                      QStringLiteral("2024-03-01 01:00"),
                      6,
                      9.6};
  ASSERT_TRUE(table.Keep(alarm));
  ArchivedAlarm later = alarm;
  later.start = QStringLiteral("2024-03-01 00:40");
  later.end = QStringLiteral("2024-03-01 01:30");
  later.records = 6;
  later.extreme = 9.2;

  EXPECT_FALSE(table.Keep(later));

  const QList<QVariantList> rows =
      QueryArchive(location, QStringLiteral("SELECT start_time, end_time, extreme FROM alarms"));
  ASSERT_EQ(rows.size(), 1);
  EXPECT_EQ(rows[0][0].toString(), QStringLiteral("2024-03-01 00:10"));
  EXPECT_EQ(rows[0][1].toString(), QStringLiteral("2024-03-01 01:30"));
  EXPECT_DOUBLE_EQ(rows[0][2].toDouble(), 9.6);
}

INSTANTIATE_TEST_SUITE_P(Engines, AlarmTableTest, testing::Values(Engine::SQLite, Engine::PostgreSQL),
                         EngineName);

}  // namespace
