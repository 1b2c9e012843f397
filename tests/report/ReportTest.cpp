#include <QStringList>
#include <algorithm>

#include "archive/ArchiveFixture.h"
#include "support/ProgramRun.h"
#include "support/TempFolder.h"

// The printable report of an archived device, as vald_archive writes it and pdftotext reads it.

namespace {

const QString Mac = QStringLiteral("AA:BB:CC:DD:EE:FF");

ProcessResult ValdArchive(const QStringList& arguments) {
  return RunProgram(QStringLiteral(VALD_ARCHIVE_PATH), arguments);
}

TEST(ValdArchiveReport, ItsTextHoldsTheDeviceTheDaysAndTheAlarms) {
  TempFolder folder;
  const QString archive = folder.File(QStringLiteral("archive.sqlite"));
  ArchiveStore(ParseArchiveLocation(archive, QString())).Merge(AgateReadout(AgateLines(0, 288), Mac));
  // Channel 1 passes 25 from line 251 (2024-03-02 17:50) to the last line, 287, at 28.7.
  folder.Write(QStringLiteral("limits.csv"), QByteArray("AGATE;1;;25\n"));
  const QString pdf = folder.File(QStringLiteral("report.pdf"));
  const ProcessResult report = ValdArchive(
      {QStringLiteral("--archive"), archive, QStringLiteral("report"), Mac, QStringLiteral("--out"), pdf});
  ASSERT_EQ(report.exitCode, 0) << report.err.toStdString();
  const ProcessResult text =
      RunProgram(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
  ASSERT_EQ(text.exitCode, 0) << "pdftotext (Debian poppler-utils) is needed: " << text.err.toStdString();
  const QStringList lines = text.out.split('\n');
  const auto lineWith = [&](const QStringList& parts) {
    return std::any_of(lines.begin(), lines.end(), [&](const QString& line) {
      return std::all_of(parts.begin(), parts.end(),
                         [&](const QString& part) { return line.contains(part); });
    });
  };
  EXPECT_TRUE(lineWith({QStringLiteral("AGATE"), Mac})) << text.out.toStdString();
  EXPECT_TRUE(lineWith({QStringLiteral("2024-03-01 00:00"), QStringLiteral("2024-03-02 23:50"),
                        QStringLiteral("288 rekord")}));
  EXPECT_TRUE(lineWith({QStringLiteral("2024-03-01"), QStringLiteral("Hőmérséklet"), QStringLiteral("144")}));
  EXPECT_TRUE(lineWith({QStringLiteral("2024-03-02"), QStringLiteral("Hőmérséklet"), QStringLiteral("144")}));
  EXPECT_TRUE(
      lineWith({QStringLiteral("felső 25 °C"), QStringLiteral("2024-03-02 17:50"),
                QStringLiteral("2024-03-02 23:50"), QStringLiteral("37"), QStringLiteral("28.7 °C")}));
  EXPECT_TRUE(text.out.contains(QStringLiteral("1. oldal / ")));
}

}  // namespace
