#include "ArchiveFixture.h"
#include "archive/AlarmTable.h"

// The alarms reported so far, beside the archive's own tables, on both engines.

namespace {

using AlarmTableTest = ArchiveTest;

// A run of two records above 8 °C on the first channel.
ArchivedAlarm HighAlarm() {
  return {QStringLiteral("00:1A:2B:3C:4D:5E"),
          1,
          QStringLiteral("temperature"),
          QStringLiteral("high"),
          8,
          QStringLiteral("2024-03-01 00:10"),
          QStringLiteral("2024-03-01 00:20"),
          2,
          9.1};
}

TEST_P(AlarmTableTest, AnAlarmIsNewOnceAndARunThatGrewKeepsItsRow) {
  ArchiveStore store(location);
  store.Merge(AgateReadout(AgateLines(0, 10)));
  ArchivedAlarm alarm = HighAlarm();
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

ArchivedAlarm OpenAlarm() {
  ArchivedAlarm alarm = HighAlarm();
  alarm.open = true;
  return alarm;
}

// An alarm still open has no all-clear; once a later log finds it over, its all-clear is told once,
// and again only after that report failed. An older log than the one kept does not open it again.
TEST_P(AlarmTableTest, AnAlarmThatIsOverIsClearedOnce) {
  ArchiveStore store(location);
  AlarmTable table(store);
  ArchivedAlarm alarm = OpenAlarm();
  ASSERT_TRUE(table.Keep(alarm));
  EXPECT_FALSE(table.ClaimClear(alarm));
  alarm.open = false;
  alarm.end = QStringLiteral("2024-03-01 00:30");
  EXPECT_FALSE(table.Keep(alarm));
  EXPECT_TRUE(table.ClaimClear(alarm));
  EXPECT_FALSE(table.ClaimClear(alarm));
  table.UnreportClear(alarm);
  EXPECT_TRUE(table.ClaimClear(alarm));
  EXPECT_FALSE(table.Keep(OpenAlarm()));
  EXPECT_EQ(QueryArchive(location, QStringLiteral("SELECT is_open, kind FROM alarms"))[0],
            (QVariantList{0, QStringLiteral("limit")}));
}

// A device's silent alarm is told when it starts, goes on in its row while the device stays silent,
// and is told once more when it ends; the next one is a new row.
TEST_P(AlarmTableTest, ADeviceAlarmIsToldWhenItStartsAndWhenItEnds) {
  ArchiveStore store(location);
  AlarmTable table(store);
  const auto keep = [&](const char* time, bool open) {
    ArchivedAlarm alarm;
    alarm.deviceKey = QStringLiteral("10.0.0.5");
    alarm.quantity = QStringLiteral("");
    alarm.kind = alarm.limit = QStringLiteral("silent");
    alarm.start = alarm.end = QString::fromLatin1(time);
    alarm.open = open;
    const AlarmNews news = table.KeepDeviceAlarm(alarm);
    return std::tuple(news.start, news.clear, alarm.start);
  };
  EXPECT_EQ(keep("2024-03-01 10:00", true), std::tuple(true, false, QStringLiteral("2024-03-01 10:00")));
  EXPECT_EQ(keep("2024-03-01 10:10", true), std::tuple(false, false, QStringLiteral("2024-03-01 10:00")));
  EXPECT_EQ(keep("2024-03-01 10:20", false), std::tuple(false, true, QStringLiteral("2024-03-01 10:00")));
  EXPECT_EQ(keep("2024-03-01 10:30", false), std::tuple(false, false, QStringLiteral("2024-03-01 10:30")));
  EXPECT_EQ(keep("2024-03-01 10:40", true), std::tuple(true, false, QStringLiteral("2024-03-01 10:40")));
  EXPECT_EQ(
      QueryArchive(location, QStringLiteral("SELECT start_time, end_time, is_open FROM alarms ORDER BY "
                                            "start_time")),
      (QList<QVariantList>{{QStringLiteral("2024-03-01 10:00"), QStringLiteral("2024-03-01 10:20"), 0},
                           {QStringLiteral("2024-03-01 10:40"), QStringLiteral("2024-03-01 10:40"), 1}}));
}

// An archive of the version before alarms had a kind: its alarms and readouts stay, every alarm closed
// with its all-clear counted as told, so that none is told again.
TEST_P(AlarmTableTest, AlarmsKeptBeforeTheirKindAreCarriedOverClosed) {
  {
    ArchiveStore store(location);
    store.Merge(AgateReadout(AgateLines(0, 10)));
    ASSERT_TRUE(AlarmTable(store).Keep(OpenAlarm()));
  }
  for (const char* statement :
       {"ALTER TABLE alarms DROP COLUMN kind", "ALTER TABLE alarms DROP COLUMN is_open",
        "ALTER TABLE alarms DROP COLUMN clear_reported",
        "ALTER TABLE readouts DROP COLUMN newest_record_age_minutes",
        "UPDATE schema_version SET version = 3"})
    QueryArchive(location, QString::fromLatin1(statement));

  ArchiveStore store(location);
  EXPECT_EQ(QueryArchive(location, QStringLiteral("SELECT version FROM schema_version"))[0][0].toInt(), 4);
  EXPECT_NO_THROW(QueryArchive(location, QStringLiteral("SELECT newest_record_age_minutes FROM readouts")));
  const QList<QVariantList> rows = QueryArchive(
      location, QStringLiteral("SELECT start_time, kind, is_open, reported, clear_reported FROM alarms"));
  ASSERT_EQ(rows.size(), 1);
  EXPECT_EQ(rows[0][0].toString(), QStringLiteral("2024-03-01 00:10"));
  EXPECT_EQ(rows[0][1].toString(), QStringLiteral("limit"));
  EXPECT_EQ(rows[0][2].toInt(), 0);
  EXPECT_EQ(rows[0][3].toInt(), 1);
  EXPECT_EQ(rows[0][4].toInt(), 1);
  ArchivedAlarm closed = OpenAlarm();
  closed.open = false;
  AlarmTable table(store);
  EXPECT_FALSE(table.Keep(closed));
  EXPECT_FALSE(table.ClaimClear(closed));
}

INSTANTIATE_TEST_SUITE_P(Engines, AlarmTableTest, testing::Values(Engine::SQLite, Engine::PostgreSQL),
                         EngineName);

}  // namespace
