#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTimeZone>
#include <QUrl>

#include "archive/ArchiveFixture.h"
#include "decode/DeviceChannels.h"
#include "export/ExportFormats.h"
#include "export/XlsxWriter.h"
#include "support/ProgramRun.h"
#include "support/TempFolder.h"

// The exports for other programs, as vald_archive writes them and their readers take them back.

namespace {

ProcessResult ValdArchive(const QStringList& arguments) {
  return RunProgram(QStringLiteral(VALD_ARCHIVE_PATH), arguments);
}

// Debian's Python, which has Debian's python3-openpyxl, whatever python3 comes first on the PATH.
constexpr char DebianPython[] = "/usr/bin/python3";

// An AGATE's records on both sides of the spring change at Budapest, a value missing, archived at that
// zone.
QString ExportArchive(const TempFolder& folder) {
  const ArchiveLocation location = ParseArchiveLocation(QStringLiteral("archive.sqlite"), folder.Path());
  ArchiveStore(location, ArchiveAccess::ReadWrite, QTimeZone("Europe/Budapest"))
      .Merge(AgateReadout({"2024;03;31;01;50;20,5;--;", "2024;03;31;03;00;-1,5;21,0;"}));
  return location.path;
}

ProcessResult ExportOf(const QString& archive, const QStringList& more) {
  return ValdArchive(QStringList{QStringLiteral("--archive"), archive, QStringLiteral("export"),
                                 QStringLiteral("00:1A:2B:3C:4D:5E"), QStringLiteral("--format")} +
                     more);
}

TEST(ValdArchive, ExportsForOtherProgramsGiveTimesWithOffsetAndValuesAsNumbers) {
  TempFolder folder;
  const QString archive = ExportArchive(folder);
  const struct {
    const char* format;
    QString text;
  } cases[] = {
      {"csv", QStringLiteral("time,Temperature 1 (°C),Temperature 2 (°C)\r\n"
                             "2024-03-31T01:50:00+01:00,20.5,\r\n"
                             "2024-03-31T03:00:00+02:00,-1.5,21\r\n")},
      {"json",
       QStringLiteral("{\"time\":\"2024-03-31T01:50:00+01:00\",\"device\":\"00:1A:2B:3C:4D:5E\",\"type\":"
                      "\"AGATE\",\"temperature_1\":20.5,\"temperature_2\":null}\n"
                      "{\"time\":\"2024-03-31T03:00:00+02:00\",\"device\":\"00:1A:2B:3C:4D:5E\",\"type\":"
                      "\"AGATE\",\"temperature_1\":-1.5,\"temperature_2\":21}\n")},
      {"influx",
       QStringLiteral("vald,device=00:1A:2B:3C:4D:5E,type=AGATE temperature_1=20.5 1711846200000000000\n"
                      "vald,device=00:1A:2B:3C:4D:5E,type=AGATE temperature_1=-1.5,temperature_2=21 "
                      "1711846800000000000\n")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.format);
    const ProcessResult result = ExportOf(archive, {QLatin1String(c.format)});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(result.out, c.text);
  }
  EXPECT_EQ(ExportOf(archive, {QStringLiteral("ods")}).exitCode, 2);
}

// --out writes the export into what it names: a link's target with that file's mode, a named pipe's
// reader; neither is replaced by an ordinary file.
TEST(ValdArchive, ExportOutKeepsLinksModesAndPipes) {
  TempFolder folder;
  const QString archive = ExportArchive(folder);
  for (const char* format : {"csv", "xlsx"}) {
    SCOPED_TRACE(format);
    const QString target = folder.File(QStringLiteral("target.") + QLatin1String(format));
    const QString link = folder.File(QStringLiteral("link.") + QLatin1String(format));
    folder.Write(QFileInfo(target).fileName(), "old");
    ASSERT_TRUE(QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    ASSERT_TRUE(QFile::link(target, link));
    const QString pipe = folder.File(QStringLiteral("pipe.") + QLatin1String(format));
    ASSERT_EQ(mkfifo(pipe.toLocal8Bit().constData(), 0600), 0);
    // The reader is there before the export, without waiting for a writer: the export fits the pipe.
    const int reader = open(pipe.toLocal8Bit().constData(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);

    EXPECT_EQ(ExportOf(archive, {QLatin1String(format), QStringLiteral("--out"), link}).exitCode, 0);
    EXPECT_EQ(ExportOf(archive, {QLatin1String(format), QStringLiteral("--out"), pipe}).exitCode, 0);

    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(QFile::permissions(target),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadUser | QFile::WriteUser);
    EXPECT_GT(QFileInfo(target).size(), 3);
    QByteArray piped(1 << 16, '\0');
    const ssize_t got = read(reader, piped.data(), size_t(piped.size()));
    close(reader);
    EXPECT_EQ(got, QFileInfo(target).size());
    struct stat pipeStatus {};
    ASSERT_EQ(stat(pipe.toLocal8Bit().constData(), &pipeStatus), 0);
    EXPECT_TRUE(S_ISFIFO(pipeStatus.st_mode));
  }
}

// CSV for spreadsheets: the RFC 4180 export with UTF-8's byte order mark on request, and the export for a
// spreadsheet with the decimal comma, which always has it.
TEST(ValdArchive, CsvForSpreadsheetsStartsWithTheByteOrderMark) {
  TempFolder folder;
  const QString archive = ExportArchive(folder);
  const QByteArray mark = "\xEF\xBB\xBF";
  const struct {
    QStringList format;
    QByteArray text;
  } cases[] = {
      {{QStringLiteral("csv"), QStringLiteral("--bom")},
       mark + "time,Temperature 1 (\xC2\xB0"
              "C),Temperature 2 (\xC2\xB0"
              "C)\r\n"
              "2024-03-31T01:50:00+01:00,20.5,\r\n"
              "2024-03-31T03:00:00+02:00,-1.5,21\r\n"},
      {{QStringLiteral("csv-excel")},
       mark + "time;Temperature 1 (\xC2\xB0"
              "C);Temperature 2 (\xC2\xB0"
              "C)\r\n"
              "2024-03-31 01:50;20,5;\r\n"
              "2024-03-31 03:00;-1,5;21\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.format.join(QLatin1Char(' ')).toStdString());
    const QString out = folder.File(QStringLiteral("export.csv"));
    const ProcessResult result = ExportOf(archive, c.format + QStringList{QStringLiteral("--out"), out});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(folder.Read(QStringLiteral("export.csv")), c.text);
  }
  EXPECT_EQ(ExportOf(archive, {QStringLiteral("json"), QStringLiteral("--bom")}).exitCode, 2);
}

// A spreadsheet set to German or Hungarian opens the csv-excel export, and one set to English the csv
// export with its byte order mark, with the channels' names as written, every value a number and (for
// csv-excel) every time a date. LibreOffice stands in for the spreadsheet: it converts each file to a
// workbook with the import settings a spreadsheet of that language starts with (its list separator,
// UTF-8, the language's number and date formats, dates recognised), from a profile of its own.
TEST(ValdArchive, SpreadsheetsReadTheCsvExportsAsNumbersAndDates) {
  const QString office = QStandardPaths::findExecutable(QStringLiteral("soffice"));
  if (office.isEmpty()) {
    GTEST_SKIP() << "LibreOffice (soffice) is not installed: this test needs the Debian package "
                    "libreoffice-calc-nogui, which scripts/install-deps.sh installs";
  }
  TempFolder folder;
  const QString archive = ExportArchive(folder);
  const QString profile = QUrl::fromLocalFile(folder.File(QStringLiteral("office-profile"))).toString();
  const QJsonArray header{QStringLiteral("time"), QStringLiteral("Temperature 1 (°C)"),
                          QStringLiteral("Temperature 2 (°C)")};
  const QJsonObject number205{{QStringLiteral("number"), 20.5}};
  const QJsonObject numberMinus15{{QStringLiteral("number"), -1.5}};
  const QJsonObject number21{{QStringLiteral("number"), 21}};
  const struct {
    const char* name;
    QStringList format;
    const char* filter;  // separator, quote, UTF-8, first line, no column formats, language, ...
    QJsonArray times;
  } cases[] = {
      {"german",
       {QStringLiteral("csv-excel")},
       "CSV:59,34,76,1,,1031,false,true",
       {QJsonObject{{QStringLiteral("date"), QStringLiteral("2024-03-31T01:50:00")}},
        QJsonObject{{QStringLiteral("date"), QStringLiteral("2024-03-31T03:00:00")}}}},
      {"hungarian",
       {QStringLiteral("csv-excel")},
       "CSV:59,34,76,1,,1038,false,true",
       {QJsonObject{{QStringLiteral("date"), QStringLiteral("2024-03-31T01:50:00")}},
        QJsonObject{{QStringLiteral("date"), QStringLiteral("2024-03-31T03:00:00")}}}},
      {"english",
       {QStringLiteral("csv"), QStringLiteral("--bom")},
       "CSV:44,34,76,1,,1033,false,true",
       {QStringLiteral("2024-03-31T01:50:00+01:00"), QStringLiteral("2024-03-31T03:00:00+02:00")}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const QString csv = folder.File(QLatin1String(c.name) + QStringLiteral(".csv"));
    ASSERT_EQ(ExportOf(archive, c.format + QStringList{QStringLiteral("--out"), csv}).exitCode, 0);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    const ProcessResult converted =
        RunProgram(office,
                   {QStringLiteral("-env:UserInstallation=") + profile, QStringLiteral("--headless"),
                    QStringLiteral("--convert-to"), QStringLiteral("xlsx"),
                    QStringLiteral("--infilter=") + QLatin1String(c.filter), QStringLiteral("--outdir"),
                    folder.Path(), csv},
                   environment);
    ASSERT_EQ(converted.exitCode, 0) << converted.err.toStdString();
    const ProcessResult read = RunProgram(QString::fromLatin1(DebianPython),
                                          {QStringLiteral(VALD_EXPORT_TEST_SCRIPTS "/read_xlsx.py"),
                                           folder.File(QLatin1String(c.name) + QStringLiteral(".xlsx"))});
    ASSERT_EQ(read.exitCode, 0) << read.err.toStdString();
    const QJsonArray expected{header, QJsonArray{c.times[0], number205, QJsonValue()},
                              QJsonArray{c.times[1], numberMinus15, number21}};
    EXPECT_EQ(QJsonDocument::fromJson(read.out.toUtf8()).array(), expected) << read.out.toStdString();
  }
}

// Every file vald_archive writes gets the mode the umask leaves of 0666, as any other program's.
TEST(ValdArchive, WrittenFilesFollowTheUmask) {
  TempFolder folder;
  const QString archive = ExportArchive(folder);
  for (const mode_t mask : {mode_t(022), mode_t(027), mode_t(002)}) {
    SCOPED_TRACE(mask);
    for (const char* format : {"file", "csv", "csv-excel", "json", "influx", "xlsx"}) {
      SCOPED_TRACE(format);
      const QString out = folder.File(QStringLiteral("export-%1-%2").arg(mask).arg(QLatin1String(format)));
      const ProcessResult result =
          RunProgram(QStringLiteral(VALD_ARCHIVE_PATH),
                     {QStringLiteral("--archive"), archive, QStringLiteral("export"),
                      QStringLiteral("00:1A:2B:3C:4D:5E"), QStringLiteral("--format"), QLatin1String(format),
                      QStringLiteral("--out"), out},
                     QProcessEnvironment::systemEnvironment(), [mask] { umask(mask); });
      ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
      struct stat written {};
      ASSERT_EQ(stat(QFile::encodeName(out).constData(), &written), 0);
      EXPECT_EQ(written.st_mode & 0777, 0666 & ~mask);
    }
  }
}

TEST(ValdArchive, XlsxExportReadsBackWithDatesAndNumbers) {
  TempFolder folder;
  const QString archive = ExportArchive(folder);
  const QString workbook = folder.File(QStringLiteral("export.xlsx"));
  const ProcessResult exported =
      ExportOf(archive, {QStringLiteral("xlsx"), QStringLiteral("--out"), workbook});
  ASSERT_EQ(exported.exitCode, 0) << exported.err.toStdString();
  const ProcessResult read = RunProgram(QString::fromLatin1(DebianPython),
                                        {QStringLiteral(VALD_EXPORT_TEST_SCRIPTS "/read_xlsx.py"), workbook});
  ASSERT_EQ(read.exitCode, 0) << read.err.toStdString();
  EXPECT_EQ(QJsonDocument::fromJson(read.out.toUtf8()),
            QJsonDocument::fromJson(
                R"json([["Time", "Time (UTC)", "Temperature 1 (\u00b0C)", "Temperature 2 (\u00b0C)"],
                [{"date": "2024-03-31T01:50:00"}, {"date": "2024-03-31T00:50:00"}, {"number": 20.5}, null],
                [{"date": "2024-03-31T03:00:00"}, {"date": "2024-03-31T01:00:00"}, {"number": -1.5}, {"number": 21}]])json"))
      << read.out.toStdString();
}

TEST(ValdArchive, InfluxExportIsTakenByInfluxDb) {
  const QByteArray server = qgetenv("VALD_TEST_INFLUXDB_URL");
  if (server.isEmpty()) {
    GTEST_SKIP() << "VALD_TEST_INFLUXDB_URL is not set: this test needs an InfluxDB server (run it through "
                    "scripts/with-influxdb.sh, as scripts/test.sh does)";
  }
  TempFolder folder;
  const QString lines = folder.File(QStringLiteral("export.influx"));
  const ProcessResult exported =
      ExportOf(ExportArchive(folder), {QStringLiteral("influx"), QStringLiteral("--out"), lines});
  ASSERT_EQ(exported.exitCode, 0) << exported.err.toStdString();
  const ProcessResult written =
      RunProgram(QString::fromLatin1(DebianPython),
                 {QStringLiteral(VALD_EXPORT_TEST_SCRIPTS "/influx_roundtrip.py"), QString::fromUtf8(server),
                  lines, QStringLiteral("vald_export_test")});
  ASSERT_EQ(written.exitCode, 0) << written.err.toStdString();
  EXPECT_EQ(QJsonDocument::fromJson(written.out.toUtf8()), QJsonDocument::fromJson(R"({"name": "vald",
                "columns": ["time", "device", "temperature_1", "temperature_2", "type"],
                "values": [[1711846200000000000, "00:1A:2B:3C:4D:5E", 20.5, null, "AGATE"],
                           [1711846800000000000, "00:1A:2B:3C:4D:5E", -1.5, 21, "AGATE"]]})"))
      << written.out.toStdString();
}

// Records past a sheet's rows go on on further sheets, each with the header: none is left out.
// A sheet takes as many records as a spreadsheet's 1 048 576 rows hold beside the header, and no more.
TEST(XlsxExport, ASheetHoldsTheRowsASpreadsheetTakes) {
  EXPECT_EQ(XlsxSheetsFor(0), 1);
  EXPECT_EQ(XlsxSheetsFor(1048575), 1);
  EXPECT_EQ(XlsxSheetsFor(1048576), 2);
  EXPECT_EQ(XlsxSheetsFor(2 * 1048575), 2);
  EXPECT_EQ(XlsxSheetsFor(2 * 1048575 + 1), 3);
}

TEST(XlsxExport, RecordsPastASheetGoOnOnTheNextOnes) {
  TempFolder folder;
  ExportTable table;
  table.channels = ChannelsOf(*FindDeviceType(2));
  for (int k = 0; k < 5; ++k) {
    ExportTable::Row& row = table.rows.emplace_back();
    row.local = row.utc = 1711846200 + 600 * k;
    row.values[0] = k;
  }
  const QString workbook = folder.File(QStringLiteral("sheets.xlsx"));
  QFile file(workbook);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  XlsxWriter writer(file, workbook, table, qsizetype(table.rows.size()), 2);
  for (const ExportTable::Row& row : table.rows) writer.Add(row);
  writer.Finish();
  file.close();

  const ProcessResult read = RunProgram(
      QString::fromLatin1(DebianPython),
      {QStringLiteral(VALD_EXPORT_TEST_SCRIPTS "/read_xlsx.py"), QStringLiteral("--sheets"), workbook});
  ASSERT_EQ(read.exitCode, 0) << read.err.toStdString();
  const QJsonObject sheets = QJsonDocument::fromJson(read.out.toUtf8()).object();
  ASSERT_EQ(sheets.keys(), (QStringList{"Sheet1", "Sheet2", "Sheet3"}));
  QList<double> values;
  for (const QString& name : sheets.keys()) {
    const QJsonArray rows = sheets[name].toArray();
    EXPECT_EQ(rows[0].toArray()[0].toString(), QStringLiteral("Idő"));
    for (qsizetype r = 1; r < rows.size(); ++r)
      values << rows[r].toArray()[2].toObject()[QStringLiteral("number")].toDouble();
  }
  EXPECT_EQ(values, (QList<double>{0, 1, 2, 3, 4}));
}

// Tag values by the line protocol's rules, a backslash at the end included, and records of one minute
// at distinct time stamps, so that neither overwrites the other; a device key with a control character
// is refused at the import.
TEST(InfluxExport, EscapesTagsAndKeepsRecordsOfOneMinuteApart) {
  ExportTable table;
  table.device = QStringLiteral("hall 1,a=b\\");
  table.type = QStringLiteral("AGATE");
  table.channels = ChannelsOf(*FindDeviceType(2));
  for (const double value : {20.5, 21.0}) {
    ExportTable::Row& row = table.rows.emplace_back();
    row.utc = 1711846200;
    row.values[0] = value;
  }
  EXPECT_EQ(InfluxExport(table),
            "vald,device=hall\\ 1\\,a\\=b\\\\,type=AGATE temperature_1=20.5 1711846200000000000\n"
            "vald,device=hall\\ 1\\,a\\=b\\\\,type=AGATE temperature_1=21 1711846200000000001\n");

  TempFolder folder;
  folder.Write(QStringLiteral("24.03.01 00.00 VALD_AGATE.csv"), "2024;03;01;00;00;20,5;21,0;\r\n");
  const ProcessResult import =
      ValdArchive({QStringLiteral("--archive"), folder.File(QStringLiteral("a.sqlite")),
                   QStringLiteral("import"), QStringLiteral("--device"), QStringLiteral("hall\n1"),
                   folder.File(QStringLiteral("24.03.01 00.00 VALD_AGATE.csv"))});
  EXPECT_EQ(import.exitCode, 2);
  EXPECT_TRUE(import.err.contains(QStringLiteral("control character"))) << import.err.toStdString();
}

}  // namespace
