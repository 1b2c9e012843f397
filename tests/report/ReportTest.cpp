#include <QRegularExpression>
#include <QStringList>
#include <algorithm>

#include "archive/ArchiveFixture.h"
#include "support/ProgramRun.h"
#include "support/TempFolder.h"

// The printable report of an archived device, as vald_archive writes it and pdftotext reads it, and its
// SHA-256 checked against the archive.

namespace {

const QString Mac = QStringLiteral("AA:BB:CC:DD:EE:FF");

ProcessResult ValdArchive(const QStringList& arguments) {
  return RunProgram(QStringLiteral(VALD_ARCHIVE_PATH), arguments);
}

// Two days of an AGATE at Europe/Budapest; channel 1 passes 25 from line 251 (2024-03-02 17:50) to the
// last line, 287, at 28.7.
class ValdArchiveReport : public testing::Test {
 protected:
  void SetUp() override {
    ArchiveStore(ParseArchiveLocation(archive, QString())).Merge(AgateReadout(AgateLines(0, 288), Mac));
    folder.Write(QStringLiteral("limits.csv"), QByteArray("AGATE;1;;25\n"));
  }

  ProcessResult Run(QStringList arguments) const {
    return ValdArchive(QStringList{QStringLiteral("--archive"), archive, QStringLiteral("--time-zone"),
                                   QStringLiteral("Europe/Budapest")} +
                       arguments);
  }

  // The report's text, lines as pdftotext -layout lays them out.
  QStringList ReportText(const QStringList& options) const {
    const ProcessResult report =
        Run(QStringList{QStringLiteral("report"), Mac, QStringLiteral("--out"), pdf} + options);
    EXPECT_EQ(report.exitCode, 0) << report.err.toStdString();
    const ProcessResult text =
        RunProgram(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    EXPECT_EQ(text.exitCode, 0) << "pdftotext (Debian poppler-utils) is needed: " << text.err.toStdString();
    return text.out.split('\n');
  }

  TempFolder folder;
  const QString archive = folder.File(QStringLiteral("archive.sqlite"));
  const QString pdf = folder.File(QStringLiteral("report.pdf"));
};

bool HasLineWith(const QStringList& lines, const QStringList& parts) {
  return std::any_of(lines.begin(), lines.end(), [&](const QString& line) {
    return std::all_of(parts.begin(), parts.end(), [&](const QString& part) { return line.contains(part); });
  });
}

// "Page 1 of 3": every page from the first to the last of as many as the first names, at least
// `minimumPages` of them.
void ExpectEveryPageNumbered(const QStringList& lines, const QString& pattern, int minimumPages) {
  const QString text = lines.join('\n');
  const QRegularExpressionMatch first =
      QRegularExpression(pattern.arg(1).arg(QStringLiteral("(\\d+)"))).match(text);
  ASSERT_TRUE(first.hasMatch()) << text.toStdString();
  const int pages = first.captured(1).toInt();
  EXPECT_GE(pages, minimumPages);
  for (int page = 1; page <= pages; ++page)
    EXPECT_TRUE(text.contains(QRegularExpression(pattern.arg(page).arg(pages)))) << page;
}

TEST_F(ValdArchiveReport, TheHungarianReportHoldsZoneLimitsExcursionsVerdictSignaturesAndHash) {
  const QStringList lines = ReportText({});
  const auto has = [&](const QStringList& parts) { return HasLineWith(lines, parts); };
  EXPECT_TRUE(has({QStringLiteral("AGATE"), Mac})) << lines.join('\n').toStdString();
  EXPECT_TRUE(has({QStringLiteral("Időszak: 2024-03-01T00:00+01:00 – 2024-03-02T23:50+01:00"),
                   QStringLiteral("288 rekord")}));
  EXPECT_TRUE(has({QStringLiteral("Időzóna: Europe/Budapest")}));
  EXPECT_TRUE(has({QStringLiteral("Csatorna"), QStringLiteral("Alsó határ"), QStringLiteral("Felső határ"),
                   QStringLiteral("Késleltetés"), QStringLiteral("Hiszterézis")}));
  EXPECT_TRUE(has({QStringLiteral("1"), QStringLiteral("Hőmérséklet"), QStringLiteral("–"),
                   QStringLiteral("25 °C"), QStringLiteral("0 perc"), QStringLiteral("0 °C")}));
  EXPECT_TRUE(has({QStringLiteral("ΔH/R = 10 000 K"), QStringLiteral("83,144 kJ/mol")}));
  EXPECT_TRUE(has({QStringLiteral("2024-03-01"), QStringLiteral("Hőmérséklet"), QStringLiteral("144")}));
  // The excursion lasts from 17:50 to the last record at 23:50.
  EXPECT_TRUE(has({QStringLiteral("felső 25 °C"), QStringLiteral("2024-03-02T17:50+01:00"),
                   QStringLiteral("2024-03-02T23:50+01:00"), QStringLiteral("6 óra"), QStringLiteral("37"),
                   QStringLiteral("28.7 °C")}));
  EXPECT_TRUE(has({QStringLiteral("Túllépés: 1"), QStringLiteral("Összes időtartam: 6 óra"),
                   QStringLiteral("Leghosszabb: 6 óra (1. csatorna)"),
                   QStringLiteral("Első kezdete: 2024-03-02T17:50+01:00")}));
  EXPECT_TRUE(has({QStringLiteral("Értékelés: határérték-túllépés: 1")}));
  EXPECT_TRUE(has({QStringLiteral("Készítette:"), QStringLiteral("Ellenőrizte:"), QStringLiteral("Dátum:")}));
  const ProcessResult hash = Run({QStringLiteral("stats"), Mac, QStringLiteral("--hash")});
  ASSERT_EQ(hash.exitCode, 0) << hash.err.toStdString();
  const QString sha256 = hash.out.section(' ', 0, 0);
  EXPECT_EQ(hash.out, sha256 + QStringLiteral("  288 records, 2024-03-01 00:00 – 2024-03-02 23:50\n"));
  EXPECT_TRUE(has({QStringLiteral("SHA-256"), QStringLiteral("288 rekord"), sha256}));
  ExpectEveryPageNumbered(lines, QStringLiteral("%1\\. oldal / %2"), 1);
}

TEST_F(ValdArchiveReport, TheEnglishReportOfAMonthHasOnlyEnglishWords) {
  // All of March, over the spring change of the clocks.
  ArchiveStore(ParseArchiveLocation(archive, QString())).Merge(AgateReadout(AgateLines(0, 31 * 144), Mac));
  folder.Write(QStringLiteral("limits.csv"), QByteArray("AGATE;1;0;40\n"));
  const QStringList lines = ReportText({QStringLiteral("--lang"), QStringLiteral("en")});
  const auto has = [&](const QStringList& parts) { return HasLineWith(lines, parts); };
  EXPECT_TRUE(has({QStringLiteral("Measurement report")})) << lines.join('\n').toStdString();
  EXPECT_TRUE(has({QStringLiteral("Device: AGATE"), QStringLiteral("MAC address: ") + Mac}));
  EXPECT_TRUE(has({QStringLiteral("Period: 2024-03-01T00:00+01:00 – 2024-03-31T23:50+02:00"),
                   QStringLiteral("4464 records")}));
  EXPECT_TRUE(has({QStringLiteral("Time zone: Europe/Budapest")}));
  EXPECT_TRUE(has({QStringLiteral("Channel"), QStringLiteral("Low limit"), QStringLiteral("High limit"),
                   QStringLiteral("Delay"), QStringLiteral("Hysteresis")}));
  EXPECT_TRUE(has({QStringLiteral("Temperature"), QStringLiteral("0 °C"), QStringLiteral("40 °C"),
                   QStringLiteral("0 min")}));
  EXPECT_TRUE(has({QStringLiteral("No excursion beyond the limits in the period.")}));
  EXPECT_TRUE(has({QStringLiteral("Verdict: within limits")}));
  EXPECT_TRUE(has({QStringLiteral("Prepared by:"), QStringLiteral("Reviewed by:"), QStringLiteral("Date:")}));
  EXPECT_TRUE(has({QStringLiteral("SHA-256 of the records (4464 records)")}));
  ExpectEveryPageNumbered(lines, QStringLiteral("Page %1 of %2"), 2);

  // No Hungarian letter, and none of the Hungarian report's words that are written without one.
  const QString text = lines.join('\n');
  static const QRegularExpression hungarianLetter(QStringLiteral("[áéíóöőúüűÁÉÍÓÖŐÚÜŰ]"));
  EXPECT_FALSE(text.contains(hungarianLetter)) << text.toStdString();
  static const QRegularExpression hungarianWord(QStringLiteral(
      "\\b(rekord|oldal|Csatorna|csatorna|Napi|perc|nap|Darab|alatt|felett|Egység|Eszköz)\\b"));
  const QRegularExpressionMatch word = hungarianWord.match(text);
  EXPECT_FALSE(word.hasMatch()) << word.captured(0).toStdString();
}

TEST_F(ValdArchiveReport, CheckFindsTheReportsRecordsInTheArchiveUntilOneIsChanged) {
  ReportText({QStringLiteral("--from"), QStringLiteral("2024-03-02")});
  const ProcessResult hash = Run({QStringLiteral("stats"), Mac, QStringLiteral("--hash"),
                                  QStringLiteral("--from"), QStringLiteral("2024-03-02")});
  ASSERT_EQ(hash.exitCode, 0) << hash.err.toStdString();
  const QString sha256 = hash.out.section(' ', 0, 0);
  EXPECT_TRUE(hash.out.contains(QStringLiteral("144 records, 2024-03-02 00:00 – 2024-03-02 23:50")));

  const ProcessResult sound = Run({QStringLiteral("check"), QStringLiteral("--report"), pdf});
  EXPECT_EQ(sound.exitCode, 0) << sound.out.toStdString() << sound.err.toStdString();
  EXPECT_TRUE(sound.out.contains(QStringLiteral("report:  %1, 144 records").arg(sha256)))
      << sound.out.toStdString();
  EXPECT_TRUE(sound.out.endsWith(QStringLiteral(": matches the archive\n")));

  // A record outside the report's period changes nothing; one inside it does.
  const ArchiveLocation location = ParseArchiveLocation(archive, QString());
  QueryArchive(location,
               QStringLiteral("UPDATE records SET v1 = v1 + 1, line = NULL WHERE time = (SELECT MIN(time) "
                              "FROM records)"));
  EXPECT_EQ(Run({QStringLiteral("check"), QStringLiteral("--report"), pdf}).exitCode, 0);
  QueryArchive(location,
               QStringLiteral("UPDATE records SET v1 = v1 + 0.1, line = NULL WHERE time = (SELECT MAX(time) "
                              "FROM records)"));
  const ProcessResult tampered = Run({QStringLiteral("check"), QStringLiteral("--report"), pdf});
  EXPECT_EQ(tampered.exitCode, 1);
  EXPECT_TRUE(tampered.out.contains(QStringLiteral("does not match the archive")))
      << tampered.out.toStdString();
  EXPECT_FALSE(tampered.out.contains(QStringLiteral("archive: ") + sha256));

  folder.Write(QStringLiteral("other.pdf"), QByteArray("%PDF-1.4\n%%EOF\n"));
  const ProcessResult other =
      Run({QStringLiteral("check"), QStringLiteral("--report"), folder.File(QStringLiteral("other.pdf"))});
  EXPECT_EQ(other.exitCode, 1);
  EXPECT_TRUE(other.out.contains(QStringLiteral("holds no SHA-256 of its records")))
      << other.out.toStdString();
}

// Every value the report keeps is compared with what the archive gives: a changed device, period or count
// is found even where the records' SHA-256 stays the same.
TEST_F(ValdArchiveReport, CheckComparesEveryValueTheReportKeepsWithTheArchive) {
  ASSERT_EQ(Run({QStringLiteral("report"), Mac, QStringLiteral("--from"), QStringLiteral("2024-03-02"),
                 QStringLiteral("--out"), pdf})
                .exitCode,
            0);
  const QByteArray made = folder.Read(QStringLiteral("report.pdf"));
  const struct {
    QByteArray kept;
    QByteArray changed;  // as long, so that the PDF's offsets stay right
    QString named;
  } cases[] = {
      {"device=AA:BB:CC:DD:EE:FF;", "device=aa:bb:cc:dd:ee:ff;",
       QStringLiteral("device differs: the report says aa:bb:cc:dd:ee:ff, the archive AA:BB:CC:DD:EE:FF")},
      {"first=2024-03-02 00:00;", "first=2024-03-01 23:55;",
       QStringLiteral(
           "first record differs: the report says 2024-03-01 23:55, the archive 2024-03-02 00:00")},
      {"last=2024-03-02 23:50;", "last=2024-03-02 23:55;",
       QStringLiteral("last record differs: the report says 2024-03-02 23:55, the archive 2024-03-02 23:50")},
      {"records=144;", "records=145;",
       QStringLiteral("record count differs: the report says 145, the archive 144")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.changed.toStdString());
    ASSERT_TRUE(made.contains(c.kept));
    folder.Write(QStringLiteral("report.pdf"), QByteArray(made).replace(c.kept, c.changed));
    const ProcessResult check = Run({QStringLiteral("check"), QStringLiteral("--report"), pdf});
    EXPECT_EQ(check.exitCode, 1);
    EXPECT_TRUE(check.out.contains(QStringLiteral("\n  ") + c.named + QLatin1Char('\n')))
        << check.out.toStdString();
    EXPECT_TRUE(check.out.endsWith(QStringLiteral(": does not match the archive\n")))
        << check.out.toStdString();
  }
}

}  // namespace
