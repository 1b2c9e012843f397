#include <QFile>
#include <QSet>
#include <QTimeZone>

#include "ArchiveFixture.h"

// The second schema on both engines: an archive of the first carried over, one record whatever the
// decimal separator of its line, UTC times around the daylight saving changes, the measurements view
// and the README's example queries.

namespace {

const QTimeZone Budapest("Europe/Budapest");

// A value or time as a test compares it: SQLite gives times as text, PostgreSQL as date and time.
QString CellText(const QVariant& value) {
  if (value.isNull()) return QStringLiteral("null");
  if (value.metaType().id() == QMetaType::QDateTime)
    return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
  if (value.metaType().id() == QMetaType::Double) return QString::number(value.toDouble());
  return value.toString();
}

QStringList RowsText(const QList<QVariantList>& rows) {
  QStringList texts;
  for (const QVariantList& row : rows) {
    QStringList cells;
    for (const QVariant& cell : row) cells << CellText(cell);
    texts << cells.join(QLatin1Char('|'));
  }
  return texts;
}

QStringList Query(const ArchiveLocation& location, const QString& sql) {
  return RowsText(QueryArchive(location, sql));
}

// Every record of the archive as "device|local time|v1|v2", as the SQL of the first schema gives them.
QStringList RecordsText(ArchiveStore& store) {
  QStringList texts;
  for (const ArchivedDevice& device : store.Devices()) {
    for (const ArchivedLine& record : store.Records(device.id, "", "")) {
      QStringList cells{device.key, QString::fromLatin1(SqlTimeOfSeconds(record.time))};
      for (const std::optional<double>& value : {record.values[0], record.values[1]})
        cells << (value ? QString::number(*value) : QStringLiteral("null"));
      texts << cells.join(QLatin1Char('|'));
    }
  }
  return texts;
}

ArchiveReadout ReadoutOf(int deviceCode, const char* type, const QString& key,
                         const QList<QByteArray>& lines) {
  ArchiveReadout readout = AgateReadout(lines, key);
  readout.device.deviceCode = deviceCode;
  readout.device.deviceType = QString::fromLatin1(type);
  return readout;
}

TEST_P(ArchiveTest, SchemaOneArchiveIsCarriedOverWithEveryRecordAndImage) {
  LoadSchemaOneArchive(location);
  const QString recordsSql = QStringLiteral(
      "SELECT d.device_key, CAST(r.time AS TEXT), r.v1, r.v2 FROM records r JOIN devices d ON d.id = "
      "r.device_id");
  const QStringList before = Query(location, recordsSql);
  const QSet<QString> distinct(before.begin(), before.end());
  ASSERT_EQ(before.size(), 894);
  ASSERT_EQ(distinct.size(), 600);  // the 294 lines read twice, once with each separator, are one record
  const QStringList images =
      Query(location, QStringLiteral("SELECT id, device_id, image FROM readouts ORDER BY id"));

  ArchiveStore store(location, ArchiveAccess::ReadWrite, Budapest);
  EXPECT_EQ(Query(location, QStringLiteral("SELECT version FROM schema_version")),
            QStringList{QStringLiteral("4")});
  // The pages of the tables the upgrade replaced are given back.
  if (GetParam() == Engine::SQLite) {
    EXPECT_EQ(Query(location, QStringLiteral("PRAGMA freelist_count")), QStringList{QStringLiteral("0")});
  }
  const QStringList after = RecordsText(store);
  EXPECT_EQ(after.size(), 600);
  EXPECT_EQ(QSet<QString>(after.begin(), after.end()), distinct);
  EXPECT_EQ(Query(location, QStringLiteral("SELECT id, device_id, image FROM readouts ORDER BY id")), images);
  // Readouts kept before say neither how they read nor what they missed: the next one reads every block.
  EXPECT_EQ(Query(location, QStringLiteral("SELECT COUNT(*) FROM readouts WHERE full_readout IS NULL AND "
                                           "missed_blocks IS NULL AND base_readout_id IS NULL")),
            QStringList{QString::number(images.size())});
  EXPECT_EQ(
      Query(location, QStringLiteral("SELECT CAST(time_utc AS TEXT) FROM measurements WHERE device_key = "
                                     "'AA:BB:CC:DD:EE:FF' AND CAST(time AS TEXT) = '2024-03-01 00:00:00' "
                                     "AND channel = 'temperature_1'")),
      QStringList{QStringLiteral("2024-02-29 23:00:00")});
  // The raw images decode again into the records carried over, value for value.
  for (const RedecodeResult& result : store.Redecode()) {
    EXPECT_EQ(result.added, 0) << result.deviceKey.toStdString();
    EXPECT_EQ(result.removed, 0) << result.deviceKey.toStdString();
  }
  const std::optional<ArchivedDevice> device = store.FindDevice(QStringLiteral("00:1A:2B:3C:4D:5E"));
  ASSERT_TRUE(device);
  EXPECT_EQ(device->records, 300);
  EXPECT_EQ(store.Lines(device->id, "", "").size(), 300);
}

TEST(SchemaTwoArchive, IsCarriedOverWithEveryRecordLineAndImage) {
  TempFolder folder;
  const ArchiveLocation location = ParseArchiveLocation(QStringLiteral("schema2.sqlite"), folder.Path());
  LoadSchemaTwoArchive(location.path);
  // Each device's records as the second schema gives them: in time order, with their times and line.
  const QString recordsSql = QStringLiteral(
      "SELECT d.device_key, CAST(r.time AS TEXT), CAST(r.time_utc AS TEXT), r.second_pass, r.line FROM "
      "records r JOIN devices d ON d.id = r.device_id ORDER BY d.device_key, r.time_utc, r.time, r.line");
  const QStringList before = Query(location, recordsSql);
  ASSERT_EQ(before.size(), 707);
  const QString imagesSql = QStringLiteral("SELECT id, device_id, image FROM readouts ORDER BY id");
  const QStringList images = Query(location, imagesSql);

  ArchiveStore store(location, ArchiveAccess::ReadWrite, Budapest);
  EXPECT_EQ(Query(location, QStringLiteral("SELECT version FROM schema_version")),
            QStringList{QStringLiteral("4")});
  EXPECT_EQ(Query(location, QStringLiteral("PRAGMA freelist_count")), QStringList{QStringLiteral("0")});
  QStringList after;
  for (const ArchivedDevice& device : store.Devices()) {
    for (const ArchivedLine& record : store.Records(device.id, "", "")) {
      after << QStringLiteral("%1|%2|%3|%4|%5")
                   .arg(device.key, QString::fromLatin1(SqlTimeOfSeconds(record.time)),
                        QString::fromLatin1(SqlTimeOfSeconds(record.timeUtc)))
                   .arg(int(record.secondPass))
                   .arg(QString::fromLatin1(record.line));
    }
  }
  EXPECT_EQ(after, before);
  EXPECT_EQ(Query(location, imagesSql), images);
  EXPECT_EQ(Query(location, QStringLiteral("SELECT COUNT(*) FROM records WHERE readout_id IS NULL")),
            QStringList{QStringLiteral("7")});
  // Only the lines that the values do not give again keep their bytes.
  EXPECT_EQ(Query(location, QStringLiteral("SELECT line FROM records WHERE line IS NOT NULL ORDER BY line")),
            QStringList(
                {QStringLiteral("2023;10;29;02;10;1,10;2,0;"), QStringLiteral("2023;10;29;02;50;1,2;2.5;")}));
  for (const RedecodeResult& result : store.Redecode()) {
    EXPECT_EQ(result.added, 0) << result.deviceKey.toStdString();
    EXPECT_EQ(result.removed, 0) << result.deviceKey.toStdString();
  }
}

TEST_P(ArchiveTest, ALogReadWithEitherDecimalSeparatorIsArchivedOnce) {
  QList<QByteArray> point = AgateLines(0, 300);
  for (QByteArray& line : point) line.replace(',', '.');
  ArchiveStore store(location, ArchiveAccess::ReadWrite, Budapest);
  EXPECT_EQ(store.Merge(AgateReadout(point)).added, 300);
  EXPECT_EQ(store.Merge(AgateReadout(AgateLines(0, 300))).added, 0);
  EXPECT_EQ(store.Lines(store.Devices()[0].id, "", ""), point);
}

TEST_P(ArchiveTest, ARecordIsItsValuesAsNumbersWhateverTheirText) {
  const struct {
    QByteArray first;
    QByteArray second;  // at the same time
    int added;          // by the second
  } cases[] = {
      {"2024;03;01;14;05;20,10;--;", "2024;03;01;14;05;20.1;--;", 0},   // separator and closing zeros
      {"2024;03;01;14;05;--;7;", "2024;03;01;14;05;--;7,0;", 0},        // a missing value before a value
      {"2024;03;01;14;05;-0;128;", "2024;03;01;14;05;0;128;", 1},       // a relay event's sign
      {"2024;03;01;14;05;0,0;1e300;", "2024;03;01;14;05;0;1e300;", 0},  // a number beyond the digits
      {"2024;03;01;14;05;12;Kikapcsolás", "2024;03;01;14;05;12;", 0},   // an event's name is no value
      {"2024;03;01;14;05;20,1;--;", "2024;03;01;14;05;20,2;--;", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.first.toStdString());
    ArchiveStore store(location, ArchiveAccess::ReadWrite, Budapest);
    QueryArchive(location, QStringLiteral("DELETE FROM records"));
    EXPECT_EQ(store.Merge(AgateReadout({c.first})).added, 1);
    EXPECT_EQ(store.Merge(AgateReadout({c.second})).added, c.added);
    EXPECT_EQ(store.Merge(AgateReadout({c.first, c.second})).added, 0);
    EXPECT_EQ(store.Lines(store.Devices()[0].id, "", "").first(),
              qMin(c.first, c.added ? c.second : c.first));
  }
}

// The archive writes a line again from its time and values, and keeps the bytes of those it would
// write otherwise.
TEST_P(ArchiveTest, LinesComeBackByteForByte) {
  const struct {
    QByteArray line;
    bool kept;
  } cases[] = {
      {"2024;03;01;14;05;21,5;22,0;", false},     // one decimal at least, ","
      {"2024;03;01;14;05;21.5;22.0;", false},     // "."
      {"2024;03;01;14;05;21;22,5;", false},       // the fewest decimals
      {"2024;03;01;14;05;21,0;--;--;", false},    // missing values after the last
      {"2024;03;01;14;05;--;--;", false},         // no value at all
      {"2024;03;01;14;05;20,10;1,0;", true},      // more decimals than the number needs
      {"2024;03;01;14;05;21;22,0;", true},        // decimals that no form gives both
      {"2024;03;01;14;05;1,5;2.5;", true},        // both separators
      {"2024;3;01;14;05;1,0;", true},             // a time column written otherwise
      {"2024;03;01;14;05;abc;1,0;", true},        // an unreadable value
      {"2024;03;01;14;05;12;Kikapcsolás", true},  // an event's name
      {"2024;03;01;14;05;-0;128;", true},         // a zero's sign
      {"2024;03;01;14;05;1e300;", true},          // a number beyond the digits
      {"2024;03;01;14;05;1;2;3;4;5;6;7;8;9;10;11;12;13;14;15;16;17;", true},  // beyond the archive's columns
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line.toStdString());
    ArchiveStore store(location, ArchiveAccess::ReadWrite, Budapest);
    QueryArchive(location, QStringLiteral("DELETE FROM records"));
    EXPECT_EQ(store.Merge(AgateReadout({c.line})).added, 1);
    EXPECT_EQ(store.Lines(store.Devices()[0].id, "", ""), QList<QByteArray>{c.line});
    EXPECT_EQ(
        QueryArchive(location, QStringLiteral("SELECT COUNT(*) FROM records WHERE line IS NOT NULL"))[0][0]
            .toInt(),
        int(c.kept));
  }
}

TEST_P(ArchiveTest, MeasurementsGiveEveryValueWithItsQuantityAndUnit) {
  ArchiveStore store(location, ArchiveAccess::ReadWrite, Budapest);
  store.Merge(
      ReadoutOf(43, "TOPAZ", QStringLiteral("00:00:00:00:00:43"), {"2024;07;01;14;00;21,5;40,0;612;--;"}));
  store.Merge(ReadoutOf(55, "JADEITE", QStringLiteral("00:00:00:00:00:55"),
                        {"2024;07;01;14;00;123;5;0;2301;2299;2310;52;3;0;"}));
  const struct {
    const char* quantity;
    QStringList rows;  // device_type|channel|unit|time|time_utc|value
  } cases[] = {
      {"co2", {QStringLiteral("TOPAZ|co2_1|ppm|2024-07-01 14:00:00|2024-07-01 12:00:00|612")}},
      {"voc", {}},
      {"humidity", {QStringLiteral("TOPAZ|humidity_1|%|2024-07-01 14:00:00|2024-07-01 12:00:00|40")}},
      {"power",
       {QStringLiteral("JADEITE|power_1|kW|2024-07-01 14:00:00|2024-07-01 12:00:00|12.3"),
        QStringLiteral("JADEITE|power_2|kW|2024-07-01 14:00:00|2024-07-01 12:00:00|0.5"),
        QStringLiteral("JADEITE|power_3|kW|2024-07-01 14:00:00|2024-07-01 12:00:00|0")}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.quantity);
    EXPECT_EQ(
        Query(location, QStringLiteral("SELECT device_type, channel, unit, CAST(time AS TEXT), "
                                       "CAST(time_utc AS TEXT), value FROM measurements WHERE quantity = "
                                       "'%1' ORDER BY channel")
                            .arg(QLatin1String(c.quantity))),
        c.rows);
  }
}

TEST_P(ArchiveTest, UtcTimesAroundTheDaylightSavingChangesOfTheYear) {
  const struct {
    const char* label;
    QList<QByteArray> lines;  // in the order the device wrote them
    QStringList records;      // local time|UTC time|second pass|skipped, in UTC order
  } cases[] = {
      // The clock goes from 02:00 to 03:00: a device whose clock was not put forward writes 02:10.
      {"Spring",
       {"2024;03;31;01;50;1,0;1,0;", "2024;03;31;02;10;2,0;2,0;", "2024;03;31;03;00;3,0;3,0;",
        "2024;03;31;03;20;4,0;4,0;"},
       {QStringLiteral("2024-03-31 01:50:00|2024-03-31 00:50:00|0|0"),
        QStringLiteral("2024-03-31 03:00:00|2024-03-31 01:00:00|0|0"),
        QStringLiteral("2024-03-31 02:10:00|2024-03-31 01:10:00|0|1"),
        QStringLiteral("2024-03-31 03:20:00|2024-03-31 01:20:00|0|0")}},
      // The clock goes from 03:00 back to 02:00: the hour from 02:00 comes twice, the same values too.
      {"Autumn",
       {"2024;10;27;01;50;1,0;1,0;", "2024;10;27;02;20;2,0;2,0;", "2024;10;27;02;50;3,0;3,0;",
        "2024;10;27;02;10;4,0;4,0;", "2024;10;27;02;20;2,0;2,0;", "2024;10;27;03;00;5,0;5,0;"},
       {QStringLiteral("2024-10-27 01:50:00|2024-10-26 23:50:00|0|0"),
        QStringLiteral("2024-10-27 02:20:00|2024-10-27 00:20:00|0|0"),
        QStringLiteral("2024-10-27 02:50:00|2024-10-27 00:50:00|0|0"),
        QStringLiteral("2024-10-27 02:10:00|2024-10-27 01:10:00|1|0"),
        QStringLiteral("2024-10-27 02:20:00|2024-10-27 01:20:00|1|0"),
        QStringLiteral("2024-10-27 03:00:00|2024-10-27 02:00:00|0|0")}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    ArchiveStore store(location, ArchiveAccess::ReadWrite, Budapest);
    QueryArchive(location, QStringLiteral("DELETE FROM records"));
    EXPECT_EQ(store.Merge(AgateReadout(c.lines)).added, c.records.size());
    EXPECT_EQ(store.Merge(AgateReadout(c.lines)).added, 0);
    QStringList records;
    for (const ArchivedLine& record : store.Records(store.Devices()[0].id, "", "")) {
      records << QStringLiteral("%1|%2|%3|%4")
                     .arg(QString::fromLatin1(SqlTimeOfSeconds(record.time)),
                          QString::fromLatin1(SqlTimeOfSeconds(record.timeUtc)))
                     .arg(int(record.secondPass))
                     .arg(int(record.skipped));
    }
    EXPECT_EQ(records, c.records);
  }
}

// The README's example queries: the ```sql blocks that start with a "-- " comment.
QStringList ReadmeQueries() {
  QFile readme(QStringLiteral(VALD_README));
  if (!readme.open(QIODevice::ReadOnly)) return {};
  QStringList queries;
  QString query;
  bool inBlock = false;
  for (const QString& line : QString::fromUtf8(readme.readAll()).split(QLatin1Char('\n'))) {
    if (line == QLatin1String("```sql")) {
      inBlock = true;
      query.clear();
    } else if (inBlock && line == QLatin1String("```")) {
      inBlock = false;
      if (query.startsWith(QLatin1String("-- "))) queries << query;
    } else if (inBlock) {
      query += line + QLatin1Char('\n');
    }
  }
  return queries;
}

TEST_P(ArchiveTest, ReadmeQueriesAnswerOnTheEngine) {
  ArchiveStore store(location, ArchiveAccess::ReadWrite, Budapest);
  store.Merge(
      ReadoutOf(2, "AGATE", QStringLiteral("00:00:00:00:00:0A"),
                {"2024;07;01;10;00;20,0;30,0;", "2024;07;01;10;30;22,0;--;", "2024;07;02;09;00;26,0;24,0;"}));
  store.Merge(
      ReadoutOf(43, "TOPAZ", QStringLiteral("00:00:00:00:00:0B"), {"2024;07;01;12;00;30,0;45,0;800;20;"}));
  const QStringList queries = ReadmeQueries();
  ASSERT_EQ(queries.size(), 3);
  const QStringList answers[] = {
      {QStringLiteral("00:00:00:00:00:0A|temperature_1|2024-07-01 08:00|21"),
       QStringLiteral("00:00:00:00:00:0A|temperature_1|2024-07-02 07:00|26"),
       QStringLiteral("00:00:00:00:00:0A|temperature_2|2024-07-01 08:00|30"),
       QStringLiteral("00:00:00:00:00:0A|temperature_2|2024-07-02 07:00|24"),
       QStringLiteral("00:00:00:00:00:0B|temperature_1|2024-07-01 10:00|30")},
      {QStringLiteral("00:00:00:00:00:0A|temperature_1|°C|2024-07-02 09:00:00|26"),
       QStringLiteral("00:00:00:00:00:0A|temperature_2|°C|2024-07-02 09:00:00|24"),
       QStringLiteral("00:00:00:00:00:0B|co2_1|ppm|2024-07-01 12:00:00|800"),
       QStringLiteral("00:00:00:00:00:0B|humidity_1|%|2024-07-01 12:00:00|45"),
       QStringLiteral("00:00:00:00:00:0B|temperature_1|°C|2024-07-01 12:00:00|30"),
       QStringLiteral("00:00:00:00:00:0B|voc_1|ppb|2024-07-01 12:00:00|20")},
      {QStringLiteral("00:00:00:00:00:0A|2024-07-01|30"), QStringLiteral("00:00:00:00:00:0A|2024-07-02|26"),
       QStringLiteral("00:00:00:00:00:0B|2024-07-01|30")},
  };
  for (qsizetype i = 0; i < queries.size(); ++i) {
    SCOPED_TRACE(queries[i].toStdString());
    EXPECT_EQ(Query(location, queries[i]), answers[i]);
  }
}

INSTANTIATE_TEST_SUITE_P(Engines, ArchiveTest, testing::Values(Engine::SQLite, Engine::PostgreSQL),
                         EngineName);

}  // namespace
