#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include "ArchiveFixture.h"
#include "core/BoundedFile.h"
#include "core/EditedTextFile.h"
#include "core/TextLines.h"
#include "support/ProgramRun.h"
#include "support/SimulatorFixture.h"

// The command-line programs as a user meets them: usage errors, the nightly readout's unit, and a
// report made where no runtime folder is set.

namespace {

// A command line that cannot be used gets one line naming what is wrong and where the usage is, never
// the whole help text, and status 2.
TEST(CommandLine, AUsageErrorIsOneLineThatPointsToTheHelp) {
  TempFolder folder;
  const struct {
    const char* program;
    const char* name;
    QStringList arguments;
  } cases[] = {
      {VALD_READ_PATH, "vald_read", {QStringLiteral("--bogus"), QStringLiteral("127.0.0.1")}},
      {VALD_READ_PATH,
       "vald_read",
       {QStringLiteral("--jobs"), QStringLiteral("0"), QStringLiteral("127.0.0.1")}},
      {VALD_READ_PATH, "vald_read", {QStringLiteral("--out"), folder.Path()}},
      {VALD_READ_PATH,
       "vald_read",
       {QStringLiteral("--archive"), QStringLiteral("postgresql://"), QStringLiteral("h")}},
      {VALD_ARCHIVE_PATH, "vald_archive", {QStringLiteral("--bogus"), QStringLiteral("list")}},
      {VALD_ARCHIVE_PATH, "vald_archive", {QStringLiteral("vacuum")}},
      {VALD_ARCHIVE_PATH, "vald_archive", {}},
      {VALD_ARCHIVE_PATH, "vald_archive", {QStringLiteral("export"), QStringLiteral("--archive")}},
      {VALD_ARCHIVE_PATH, "vald_archive", {QStringLiteral("export")}},
      {VALD_ARCHIVE_PATH, "vald_archive", {QStringLiteral("import"), folder.File(QStringLiteral("a.csv"))}},
      {VALD_ARCHIVE_PATH, "vald_archive", {QStringLiteral("list"), QStringLiteral("extra")}},
      {VALD_ARCHIVE_PATH,
       "vald_archive",
       {QStringLiteral("check"), QStringLiteral("--from"), QStringLiteral("2024-03-01")}},
      {VALD_ARCHIVE_PATH,
       "vald_archive",
       {QStringLiteral("export"), QStringLiteral("dev"), QStringLiteral("--format"), QStringLiteral("yaml")}},
      {VALD_ARCHIVE_PATH,
       "vald_archive",
       {QStringLiteral("stats"), QStringLiteral("dev"), QStringLiteral("--to"), QStringLiteral("yesterday")}},
      {VALD_ARCHIVE_PATH,
       "vald_archive",
       {QStringLiteral("report"), QStringLiteral("dev"), QStringLiteral("--out"), QStringLiteral("r.pdf"),
        QStringLiteral("--lang"), QStringLiteral("de")}},
      {VALD_ARCHIVE_PATH,
       "vald_archive",
       {QStringLiteral("--time-zone"), QStringLiteral("Mars/Olympus"), QStringLiteral("import"),
        QStringLiteral("--device"), QStringLiteral("dev"), folder.File(QStringLiteral("a.csv"))}},
      {VALD_ARCHIVE_PATH,
       "vald_archive",
       {QStringLiteral("--archive"), QStringLiteral("postgresql://"), QStringLiteral("list")}},
      {VALD_ARCHIVE_PATH,
       "vald_archive",
       {QStringLiteral("--archive"), QStringLiteral("off"), QStringLiteral("list")}},
      {VALD_SIM_PROGRAM, "vald_sim", {QStringLiteral("--bogus")}},
      {VALD_SIM_PROGRAM, "vald_sim", {QStringLiteral("--records"), QStringLiteral("many")}},
      {VALD_SIM_PROGRAM, "vald_sim", {QStringLiteral("--port"), QStringLiteral("70000")}},
      {VALD_SIM_PROGRAM, "vald_sim", {QStringLiteral("stray")}},
  };
  // vald_archive's commands work on archive.sqlite in the folder: none is made for a command line it cannot
  // use.
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments.join(QLatin1Char(' ')).toStdString());
    const QStringList arguments =
        c.program == std::string_view(VALD_ARCHIVE_PATH) && !c.arguments.contains(QStringLiteral("--archive"))
            ? QStringList{QStringLiteral("--archive"), folder.File(QStringLiteral("archive.sqlite"))} +
                  c.arguments
            : c.arguments;
    const ProcessResult result = RunProgram(QString::fromLatin1(c.program), arguments);
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.out, QString());
    const QString name = QLatin1String(c.name);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[^\\n]+\\. See %1 --help\\.\\n$").arg(name))
                    .match(result.err)
                    .hasMatch())
        << result.err.toStdString();
  }
  EXPECT_FALSE(QFile::exists(folder.File(QStringLiteral("archive.sqlite"))));
}

// The ExecStart line of the packaged unit, its paths moved into `root`.
QStringList NightlyCommand(const QString& root) {
  const QByteArray unit =
      ReadWholeFile(QStringLiteral(VALD_PACKAGING_DIR "/systemd/vald-read.service"), MaxEditedFileBytes);
  const QRegularExpressionMatch start =
      QRegularExpression(QStringLiteral("^ExecStart=(.*)$"), QRegularExpression::MultilineOption)
          .match(QString::fromUtf8(unit));
  QStringList command = start.captured(1).split(QLatin1Char(' '), Qt::SkipEmptyParts);
  for (QString& word : command) {
    if (word.startsWith(QLatin1Char('/')) && !word.startsWith(QStringLiteral("/usr/bin/")))
      word.prepend(root);
  }
  return command;
}

// The nightly readout as the unit starts it: the hosts and limits in /etc/vald/, the packaged limits
// file checks nothing yet; with a limit the device breaks, the run ends with status 3, which the unit
// counts as a success.
TEST(NightlyUnit, ReadsWithTheLimitsInEtcValdAndTakesANewAlarmForSuccess) {
  const QByteArray unit =
      ReadWholeFile(QStringLiteral(VALD_PACKAGING_DIR "/systemd/vald-read.service"), MaxEditedFileBytes);
  EXPECT_TRUE(unit.contains("\nSuccessExitStatus=3\n"));
  SimulatorConfig config;
  config.deviceCode = 21;
  config.recordCount = 50;
  const RunningSimulator device(config);
  TempFolder root;
  ASSERT_TRUE(QDir(root.Path()).mkpath(QStringLiteral("etc/vald")));
  ASSERT_TRUE(QDir(root.Path()).mkpath(QStringLiteral("var/lib/vald/readouts")));
  root.Write(QStringLiteral("etc/vald/hosts"), "127.0.0.1:" + QByteArray::number(device.Port()) + "\n");
  const QByteArray packagedLimits =
      ReadWholeFile(QStringLiteral(VALD_PACKAGING_DIR "/systemd/limits.csv"), MaxEditedFileBytes);
  const QStringList command = NightlyCommand(root.Path());
  ASSERT_EQ(command.first(), QStringLiteral("/usr/bin/vald_read"));
  EXPECT_TRUE(command.contains(root.File(QStringLiteral("etc/vald/limits.csv"))));
  const struct {
    QByteArray limits;
    int exitCode;
  } cases[] = {
      {packagedLimits, 0},
      {packagedLimits + "*;temperature;;0\n", 3},
  };
  for (const auto& c : cases) {
    root.Write(QStringLiteral("etc/vald/limits.csv"), c.limits);
    QFile::remove(root.File(QStringLiteral("var/lib/vald/readouts/archive.sqlite")));
    const ProcessResult run = RunProgram(QStringLiteral(VALD_READ_PATH), command.mid(1));
    EXPECT_EQ(run.exitCode, c.exitCode) << run.out.toStdString() << run.err.toStdString();
  }
}

// Under cron, a system service or su no runtime folder is set: the report, which draws through Qt's
// graphical side, makes a private one of its own and says nothing about it.
TEST(ValdArchive, AReportWithoutARuntimeFolderSaysNothingOfIt) {
  TempFolder folder;
  const ArchiveLocation location = ParseArchiveLocation(QStringLiteral("archive.sqlite"), folder.Path());
  ArchiveStore(location).Merge(AgateReadout(AgateLines(0, 20)));
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
  environment.insert(QStringLiteral("TMPDIR"), folder.Path());
  const ProcessResult report =
      RunProgram(QStringLiteral(VALD_ARCHIVE_PATH),
                 {QStringLiteral("--archive"), location.path, QStringLiteral("report"),
                  QStringLiteral("00:1A:2B:3C:4D:5E"), QStringLiteral("--out"),
                  folder.File(QStringLiteral("report.pdf"))},
                 environment);
  EXPECT_EQ(report.exitCode, 0);
  EXPECT_EQ(report.err, QString());
  struct stat runtime {};
  ASSERT_EQ(
      stat(QFile::encodeName(folder.File(QStringLiteral("runtime-%1").arg(geteuid()))).constData(), &runtime),
      0);
  EXPECT_EQ(runtime.st_mode & 0777, 0700u);
}

}  // namespace
