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
            QStringList{QStringLiteral("3")});
  const QStringList after = Query(location, recordsSql);
  EXPECT_EQ(after.size(), 600);
  EXPECT_EQ(QSet<QString>(after.begin(), after.end()), distinct);
  EXPECT_EQ(Query(location, QStringLiteral("SELECT id, device_id, image FROM readouts ORDER BY id")), images);
  // Readouts kept before say neither how they read nor what they missed: the next one reads every block.
  EXPECT_EQ(Query(location, QStringLiteral("SELECT COUNT(*) FROM readouts WHERE full_readout IS NULL AND "
                                           "missed_blocks IS NULL AND base_readout_id IS NULL")),
            QStringList{QString::number(images.size())});
  EXPECT_EQ(Query(location, QStringLiteral("SELECT CAST(time_utc AS TEXT) FROM records r JOIN devices d ON "
                                           "d.id = r.device_id WHERE d.device_key = 'AA:BB:CC:DD:EE:FF' AND "
                                           "CAST(r.time AS TEXT) = '2024-03-01 00:00:00'")),
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

TEST_P(ArchiveTest, ALogReadWithEitherDecimalSeparatorIsArchivedOnce) {
  QList<QByteArray> point = AgateLines(0, 300);
  for (QByteArray& line : point) line.replace(',', '.');
  ArchiveStore store(location, ArchiveAccess::ReadWrite, Budapest);
  EXPECT_EQ(store.Merge(AgateReadout(point)).added, 300);
  EXPECT_EQ(store.Merge(AgateReadout(AgateLines(0, 300))).added, 0);
  EXPECT_EQ(store.Lines(store.Devices()[0].id, "", ""), point);
}

TEST(ArchivedRecords, ValueKeysAreTheNumbersWhateverTheirText) {
  const struct {
    QByteArray line;
    QByteArray key;
  } cases[] = {
      {"2024;03;01;14;05;20,10;--;", "20.1"},  // separator, closing zeros and a missing value
      {"2024;03;01;14;05;20.1;--;", "20.1"},   //
      {"2024;03;01;14;05;--;7;", ";7"},        // a missing value before a value
      {"2024;03;01;14;05;-0;128;", "-0;128"},  // a relay event's sign
      {"2024;03;01;14;05;0,0;1e300;", "0;1" + QByteArray(300, '0')},  // a number beyond the digits
      {"2024;03;01;14;05;12;Kikapcsolás", "12"},                      // an event's name is no value
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line.toStdString());
    const ArchivedLines read = ReadArchivedLines({c.line}, Budapest);
    ASSERT_EQ(read.records.size(), 1u);
    EXPECT_EQ(read.records[0].valueKey, c.key);
    // The archive's numbers read back give the same key, as a carried over record does.
    EXPECT_EQ(ValueKeyOf(read.records[0].values), c.key);
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
    EXPECT_EQ(
        Query(location, QStringLiteral("SELECT CAST(time AS TEXT), CAST(time_utc AS TEXT), second_pass, "
                                       "skipped_time FROM records ORDER BY time_utc, time")),
        c.records);
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
