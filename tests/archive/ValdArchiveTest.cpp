#include <QProcess>

#include "ArchiveFixture.h"
#include "support/SimulatorFixture.h"

// vald_read and vald_archive as processes: the default archive beside the files, import and export.

namespace {

struct ProcessResult {
  int exitCode = -1;
  QString out;
  QString err;
};

ProcessResult RunProgram(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  ProcessResult result;
  if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit) return result;
  result.exitCode = process.exitCode();
  result.out = QString::fromUtf8(process.readAllStandardOutput());
  result.err = QString::fromUtf8(process.readAllStandardError());
  return result;
}

ProcessResult ValdArchive(const QStringList& arguments) {
  return RunProgram(QStringLiteral(VALD_ARCHIVE_PATH), arguments);
}

QByteArray FileText(const QList<QByteArray>& lines) {
  QByteArray text;
  for (const QByteArray& line : lines) text += line + "\r\n";
  return text;
}

TEST(ValdArchive, ExportOfTwoOverlappingReadoutsIsTheUnionInTimeOrder) {
  TempFolder folder;
  folder.Write(QStringLiteral("24.03.02 10.00 VALD_AGATE.csv"), FileText(AgateLines(0, 200)));
  folder.Write(QStringLiteral("24.03.03 10.00 VALD_AGATE.csv"), FileText(AgateLines(120, 200)));
  const QString archive = folder.File(QStringLiteral("archive.sqlite"));
  const ProcessResult imported = ValdArchive({QStringLiteral("--archive"), archive, QStringLiteral("import"),
                                              QStringLiteral("--device"), QStringLiteral("AA:BB:CC:DD:EE:FF"),
                                              folder.File(QStringLiteral("24.03.02 10.00 VALD_AGATE.csv")),
                                              folder.File(QStringLiteral("24.03.03 10.00 VALD_AGATE.csv"))});
  ASSERT_EQ(imported.exitCode, 0) << imported.err.toStdString();
  EXPECT_TRUE(imported.out.contains(QStringLiteral("120 of 200 records added")))
      << imported.out.toStdString();

  const QString exported = folder.File(QStringLiteral("union_AGATE.csv"));
  const ProcessResult result =
      ValdArchive({QStringLiteral("--archive"), archive, QStringLiteral("export"),
                   QStringLiteral("AA:BB:CC:DD:EE:FF"), QStringLiteral("--out"), exported});
  ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
  EXPECT_EQ(folder.Read(QStringLiteral("union_AGATE.csv")), FileText(AgateLines(0, 320)));

  const ProcessResult day = ValdArchive({QStringLiteral("--archive"), archive, QStringLiteral("export"),
                                         QStringLiteral("aa:bb:cc:dd:ee:ff"), QStringLiteral("--from"),
                                         QStringLiteral("2024-03-02"), QStringLiteral("--to"),
                                         QStringLiteral("2024-03-02"), QStringLiteral("--out"), exported});
  ASSERT_EQ(day.exitCode, 0) << day.err.toStdString();
  EXPECT_EQ(folder.Read(QStringLiteral("union_AGATE.csv")), FileText(AgateLines(144, 144)));
}

TEST(ValdArchive, ExitStatusSaysWhetherTheCommandSucceeded) {
  TempFolder folder;
  const QString archive = folder.File(QStringLiteral("archive.sqlite"));
  folder.Write(QStringLiteral("foreign.sqlite"), QByteArray(4096, 'x'));
  const struct {
    QStringList arguments;
    int exitCode;
  } cases[] = {
      {{QStringLiteral("--help")}, 0},
      {{QStringLiteral("--archive"), archive, QStringLiteral("list")}, 0},
      {{QStringLiteral("--archive"), archive, QStringLiteral("export"), QStringLiteral("00:00:00:00:00:00")},
       1},
      {{QStringLiteral("--archive"), folder.File(QStringLiteral("foreign.sqlite")), QStringLiteral("list")},
       1},
      {{QStringLiteral("--archive"), archive, QStringLiteral("import"), folder.File(QStringLiteral("x.csv"))},
       2},
      {{QStringLiteral("--archive"), archive, QStringLiteral("vacuum")}, 2},
      {{}, 2},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ValdArchive(c.arguments).exitCode, c.exitCode)
        << c.arguments.join(QLatin1Char(' ')).toStdString();
  }
}

TEST(ValdRead, ArchivesIntoTheOutFolderByDefault) {
  SimulatorConfig config;
  config.deviceCode = 21;
  config.chipCode = 1;
  config.recordCount = 100;
  RunningSimulator device(config);
  TempFolder out;
  const ProcessResult read = RunProgram(QStringLiteral(VALD_READ_PATH),
                                        {QStringLiteral("--port"), QString::number(device.Port()),
                                         QStringLiteral("--out"), out.Path(), QStringLiteral("127.0.0.1")});
  ASSERT_EQ(read.exitCode, 0) << read.out.toStdString();
  const ProcessResult list = ValdArchive(
      {QStringLiteral("--archive"), out.File(QStringLiteral("archive.sqlite")), QStringLiteral("list")});
  ASSERT_EQ(list.exitCode, 0);
  EXPECT_TRUE(list.out.contains(QStringLiteral("00:1A:2B:3C:4D:5E\tAGATE\t100\t"))) << list.out.toStdString();
}

}  // namespace
