#include <qcustomplot.h>
#include <QLabel>
#include <QSignalSpy>
#include <QtTest>

#include "Form1Fixture.h"
#include "support/ProgramRun.h"
#include "support/SimulatorFixture.h"
#include "ui_TForm1.h"

// Limits, alarms, statistics and the report in the main window.
class WatchWindowTest : public QObject {
  Q_OBJECT

  // Two days of an AGATE, a line every ten minutes: channel 1 climbs by 0.1 a line from 0.0 and passes
  // 25 from 2024-03-02 17:50 to the last line (28.7); channel 2 is 20.0.
  static QByteArray TwoDays() {
    QByteArray text;
    for (int n = 0; n < 288; ++n) {
      const QDateTime time = QDateTime(QDate(2024, 3, 1), QTime(0, 0), Qt::UTC).addSecs(qint64(n) * 600);
      text += time.toString(QStringLiteral("yyyy;MM;dd;hh;mm;")).toLatin1() + QByteArray::number(n / 10) +
              '.' + QByteArray::number(n % 10) + ";20.0;\r\n";
    }
    return text;
  }

  static void OpenTwoDays(Form1Fixture& f) {
    f.folder.Write(QStringLiteral("24.03.03 00.00 VALD_AGATE.csv"), TwoDays());
    f.nextOpenFile = f.folder.File(QStringLiteral("24.03.03 00.00 VALD_AGATE.csv"));
    f.form->Controls().Open1->trigger();
  }

 private slots:
  void initTestCase() { QLocale::setDefault(QLocale::c()); }

  void anOpenedLogShowsItsAlarmsLimitsStatisticsAndReport() {
    Form1Fixture f("DecimalSeparator=.\r\n");
    f.folder.Write(QStringLiteral("limits.csv"), "AGATE;1;;25\n");
    OpenTwoDays(f);

    QCOMPARE(f.errors, QStringList());
    QCOMPARE(f.warnings, QStringList{QStringLiteral(
                             "Határérték-túllépés, AGATE: 1 új riasztás\n1. csatorna (Hőmérséklet) a "
                             "felső határ felett 25 °C: 2024-03-02 17:50 – 2024-03-02 23:50, 37 rekord, "
                             "szélsőérték 28.7 °C")});
    QCOMPARE(f.form->StatusPanel(4)->text(), QStringLiteral("Riasztás: 1"));
    QCOMPARE(f.form->View().pages[PageT].chart.limitLines, (std::vector<LimitLine>{{25, Colour::Red}}));
    QCOMPARE(f.form->Controls().Chart_T->itemCount(), 1);

    f.form->Controls().Statisztika1->trigger();
    QCOMPARE(f.statistics.rows.size(), 4);
    QCOMPARE(f.statistics.rows[2],
             (QStringList{QStringLiteral("2024-03-02"), QStringLiteral("1"), QStringLiteral("Hőmérséklet"),
                          QStringLiteral("°C"), QStringLiteral("144"), QStringLiteral("14.4"),
                          QStringLiteral("28.7"), QStringLiteral("21.550"), QStringLiteral("22.463")}));

    f.nextReportFile = f.folder.File(QStringLiteral("report.pdf"));
    f.form->Controls().Jelents1->trigger();
    QCOMPARE(f.errors, QStringList());
    const ProcessResult report = RunProgram(
        QStringLiteral("pdftotext"), {f.folder.File(QStringLiteral("report.pdf")), QStringLiteral("-")});
    QVERIFY2(report.out.contains(QStringLiteral("Mérési jelentés")), qPrintable(report.out));
    QVERIFY(report.out.contains(QStringLiteral("Értékelés: határérték-túllépés: 1")));
  }

  void theLimitsDialogTakesOnlyAWellFormedFileAndTheChartsFollowIt() {
    Form1Fixture f("DecimalSeparator=.\r\nLimits=cold.csv\r\n");
    f.folder.Write(QStringLiteral("cold.csv"), "AGATE;1;;25;extra\n");
    OpenTwoDays(f);
    QCOMPARE(f.warnings,
             QStringList{QStringLiteral("A határértékek nem olvashatók: %1 line 1: expected "
                                        "DEVICE;CHANNEL;LOW;HIGH or "
                                        "DEVICE;CHANNEL;LOW;HIGH;DELAY;HYSTERESIS, found 5 fields")
                             .arg(f.folder.File(QStringLiteral("cold.csv")))});
    QVERIFY(f.form->View().pages[PageT].chart.limitLines.empty());

    f.warnings.clear();
    f.limitsEdits = {"*;temperature;5;x\n", "*;temperature;5;30\n"};
    f.form->Controls().Hatrrtkek1->trigger();
    QCOMPARE(f.limitsShown, QByteArray("AGATE;1;;25;extra\n"));
    QCOMPARE(f.limitsProblems,
             (QStringList{QStringLiteral("limits.csv line 1: HIGH \"x\" is no number (\".\" "
                                         "before the decimals)"),
                          QString()}));
    QCOMPARE(f.folder.Read(QStringLiteral("cold.csv")), QByteArray("*;temperature;5;30\n"));
    QCOMPARE(f.form->View().pages[PageT].chart.limitLines,
             (std::vector<LimitLine>{{5, Colour::Red}, {30, Colour::Red}}));
    // Channel 1 starts below 5: one run of 50 lines at 0.0 .. 4.9.
    QCOMPARE(f.form->StatusPanel(4)->text(), QStringLiteral("Riasztás: 1"));
    QCOMPARE(f.warnings.size(), 1);
    QVERIFY(
        f.warnings[0].contains(QStringLiteral("az alsó határ alatt 5 °C: 2024-03-01 00:00 – 2024-03-01 "
                                              "08:10, 50 rekord, szélsőérték 0 °C")));
  }

  // The editor takes a rule with a delay and a hysteresis, and refuses a misspelt type with its line.
  // Channel 1 passes 25 at 17:50: with a delay of an hour its alarm still starts there, and the
  // charts draw the limit alone.
  void theLimitsDialogTakesADelayAndHysteresisAndRefusesAMisspeltType() {
    Form1Fixture f("DecimalSeparator=.\r\n");
    OpenTwoDays(f);
    f.limitsEdits = {"IOLTE;1;;25\n", "AGATE;1;;25;60;0.5\n"};
    f.form->Controls().Hatrrtkek1->trigger();
    QCOMPARE(
        f.limitsProblems,
        (QStringList{QStringLiteral("limits.csv line 1: \"IOLTE\" is no device type (a host is written in "
                                    "small letters or as an address)"),
                     QString()}));
    QCOMPARE(f.folder.Read(QStringLiteral("limits.csv")), QByteArray("AGATE;1;;25;60;0.5\n"));
    QCOMPARE(f.form->View().pages[PageT].chart.limitLines, (std::vector<LimitLine>{{25, Colour::Red}}));
    QCOMPARE(f.form->StatusPanel(4)->text(), QStringLiteral("Riasztás: 1"));
    QVERIFY(f.warnings.last().contains(QStringLiteral("2024-03-02 17:50 – 2024-03-02 23:50, 37 rekord")));
  }

  void aReadoutsAlarmIsReportedOnceWhenTheArchiveKeepsIt() {
    SimulatorConfig config;
    config.deviceCode = 21;
    config.recordCount = 300;
    const RunningSimulator device(config);
    Form1Fixture f("ip1=127.0.0.1\r\nDecimalSeparator=.\r\nArchive=archive.sqlite\r\n");
    f.env.archive = QStringLiteral("archive.sqlite");
    f.folder.Write(QStringLiteral("limits.csv"), "00:1A:2B:3C:4D:5E;temperature;;24\n");
    f.form->Link().port = device.Port();
    for (int readout = 0; readout < 2; ++readout) {
      QSignalSpy finished(f.form.get(), &TForm1::ReadoutFinished);
      f.form->Controls().SpeedButton7->click();
      QVERIFY(finished.wait(20000));
      QCOMPARE(f.errors, QStringList());
      QVERIFY(f.form->StatusPanel(4)->text().startsWith(QStringLiteral("Riasztás: ")));
      QVERIFY(f.form->StatusPanel(4)->text() != QStringLiteral("Riasztás: 0"));
      QCOMPARE(f.warnings.size(), 1);
      QVERIFY(f.warnings[0].startsWith(QStringLiteral("Határérték-túllépés, AGATE 00:1A:2B:3C:4D:5E: ")));
    }
  }
};

QTEST_MAIN(WatchWindowTest)
#include "WatchWindowTest.moc"
