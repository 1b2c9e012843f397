#include <qcustomplot.h>
#include <QLabel>
#include <QSignalSpy>
#include <QTabWidget>
#include <QtTest>

#include "Form1Fixture.h"
#include "support/ShownLog.h"
#include "support/SimulatorFixture.h"
#include "ui_TForm1.h"

// The main window's handlers end to end: the simulated device on loopback, the real widgets.
class WindowHandlersTest : public QObject {
  Q_OBJECT

  static QCPRange Axis(QCustomPlot* chart) { return chart->yAxis->range(); }

 private slots:
  void initTestCase() { QLocale::setDefault(QLocale::c()); }

  void queryButtonReadsTheDeviceAndDrawsIt() {
    SimulatorConfig config;
    config.deviceCode = 4;  // CALCITE: two temperatures and a humidity
    config.chipCode = 1;
    config.recordCount = 300;
    RunningSimulator simulator(config);
    Form1Fixture f("ip2=127.0.0.1\r\nDecimalSeparator=.\r\n");
    f.form->Link().port = simulator.Port();
    QSignalSpy finished(f.form.get(), &TForm1::ReadoutFinished);
    f.form->Controls().SpeedButton6->click();
    QVERIFY(finished.wait(20000));

    QCOMPARE(f.errors, QStringList());
    QCOMPARE(f.form->Controls().LabelDevice->text(), QStringLiteral("CALCITE"));
    QCOMPARE(f.form->StatusPanel(3)->text(), QStringLiteral("25LC254"));
    QCOMPARE(simulator.Requests().size(), 33);
    QCOMPARE(f.form->State().LogRecords.Count(), 300);
    QCOMPARE(f.form->Controls().Chart_T->graph(0)->dataCount(), 300);
    QCOMPARE(f.form->Controls().Chart_H->graph(0)->dataCount(), 300);
    QVERIFY(f.form->Controls().RichEditT->toPlainText().startsWith(
        QStringLiteral("Utoljára mért hőmérséklet adatok: ")));
    QVERIFY(
        f.form->Controls().RichEdit1->toPlainText().startsWith(QStringLiteral("Hőmérséklet:\nMin/Max: ")));
    QCOMPARE(f.form->Controls().PageControl1->tabText(1), QStringLiteral("Páratartalom"));
    QVERIFY(f.form->Controls().PageControl1->isTabVisible(1));
    QVERIFY(!f.form->Controls().PageControl1->isTabVisible(2));
    QCOMPARE(f.form->Controls().LabelProggrPos->text(), QStringLiteral("300/1359"));
    QVERIFY(f.form->Controls().Memo2->toPlainText().startsWith(QStringLiteral("2024;03;01;00;00;")));
    QVERIFY(f.folder.Exists(QStringLiteral("23.12.03 14.05 VALD_CALCITE.csv")));
    QVERIFY(f.form->SaveTimer().isActive());
  }

  void silentBlocksEndInAWarning() {
    SimulatorConfig config;
    config.deviceCode = 2;
    config.chipCode = 1;
    config.recordCount = 100;
    config.silentFromBlock = 30;
    RunningSimulator simulator(config);
    Form1Fixture f("ip1=127.0.0.1\r\n");
    f.form->Link().port = simulator.Port();
    QSignalSpy finished(f.form.get(), &TForm1::ReadoutFinished);
    f.form->Controls().SpeedButton7->click();
    QVERIFY(finished.wait(20000));
    QCOMPARE(f.errors, QStringList());
    QCOMPARE(f.warnings.size(), 1);
    QVERIFY(f.warnings[0].contains(QStringLiteral("30, 31")));
    QCOMPARE(f.form->State().LogRecords.Count(), 100);
  }

  // A DecimalSeparator setting other than the system's: the charts take the device's values as they
  // are, and the readout's file holds the whole log, byte for byte as a system with that separator
  // writes it.
  void otherSeparatorDrawsAndKeepsTheReadoutsFile_data() {
    QTest::addColumn<char>("setting");
    QTest::addColumn<char>("system");
    QTest::newRow("comma on a point system") << ',' << '.';
    QTest::newRow("point on a comma system") << '.' << ',';
  }

  void otherSeparatorDrawsAndKeepsTheReadoutsFile() {
    QFETCH(char, setting);
    QFETCH(char, system);
    SimulatorConfig config;
    config.deviceCode = 2;  // AGATE, FieldType 1
    config.recordCount = 300;
    RunningSimulator simulator(config);
    const QByteArray cfg = "ip1=127.0.0.1\r\nDecimalSeparator=" + QByteArray(1, setting) + "\r\n";
    const QString file = QStringLiteral("23.12.03 14.05 VALD_AGATE.csv");

    Form1Fixture mismatched(cfg, {1920, 1080}, true, system);
    mismatched.form->Link().port = simulator.Port();
    QSignalSpy mismatchedDone(mismatched.form.get(), &TForm1::ReadoutFinished);
    mismatched.form->Controls().SpeedButton7->click();
    QVERIFY(mismatchedDone.wait(20000));
    QCOMPARE(mismatched.errors, QStringList());
    QCOMPARE(mismatched.form->View().pages[PageT].chart.series[0].Count(), 300);
    QCOMPARE(mismatched.folder.Read(file).count("\r\n"), qsizetype(300));

    Form1Fixture matching(cfg, {1920, 1080}, true, setting);
    matching.form->Link().port = simulator.Port();
    QSignalSpy matchingDone(matching.form.get(), &TForm1::ReadoutFinished);
    matching.form->Controls().SpeedButton7->click();
    QVERIFY(matchingDone.wait(20000));
    QCOMPARE(matching.errors, QStringList());
    QCOMPARE(mismatched.folder.Read(file), matching.folder.Read(file));
  }

  // The warning after "Lekérdezés" and the line of "Összes lekérdezése" name every block without a full
  // reply with what came.
  void shortAndOversizedBlocksAreNamedWithTheirLengths() {
    SimulatorConfig config;
    config.deviceCode = 2;
    config.chipCode = 1;
    config.recordCount = 100;
    config.silentFromBlock = 30;
    config.scriptedFaults.insert("ED02", {{ReplyFaultKind::Short, 40}, {ReplyFaultKind::Short, 40}});
    config.scriptedFaults.insert("ED07",
                                 {{ReplyFaultKind::Oversized, 600}, {ReplyFaultKind::Oversized, 600}});
    RunningSimulator queried(config);
    Form1Fixture f("ip1=127.0.0.1\r\n");
    f.form->Link().port = queried.Port();
    QSignalSpy finished(f.form.get(), &TForm1::ReadoutFinished);
    f.form->Controls().SpeedButton7->click();
    QVERIFY(finished.wait(20000));
    QCOMPARE(f.errors, QStringList());
    QCOMPARE(f.warnings, QStringList{QStringLiteral(
                             "A napló hiányos: ezekre a blokkokra nem érkezett válasz: 30, 31; ezekre a "
                             "blokkokra rövid válasz érkezett: 2 (40 bájt); ezekre a blokkokra túl "
                             "hosszú válasz érkezett: 7 (600 bájt).")});
    QVERIFY(f.folder.Exists(QStringLiteral("23.12.03 14.05 VALD_AGATE.csv")));

    RunningSimulator readAll(config);
    f.form->Link().port = readAll.Port();
    f.form->Controls().ReadAll1->trigger();
    QVERIFY(finished.wait(20000));
    QCOMPARE(f.messages,
             QStringList{QStringLiteral(
                 "127.0.0.1: 23.12.03 14.05 VALD_AGATE.csv (a napló hiányos, nem válaszolt "
                 "blokkok: 30, 31; rövid válasz: 2 (40 bájt); túl hosszú válasz: 7 (600 bájt))")});
  }

  void chartOfAHiddenPageIsDrawnWithItsLogWhenShown() {
    Form1Fixture f("Top2=80\r\nBottom2=20\r\n");
    f.OfferHourLog(QStringLiteral("23.12.03 14.05 VALD_CALCITE.csv"), "21.5;20.0;50.0;");
    f.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.form.get()));
    f.form->Open1Click();
    QCustomPlot* chart = f.form->Controls().Chart_H;
    QVERIFY(chart->xAxis->tickVectorLabels().isEmpty());
    f.form->Controls().PageControl1->setCurrentIndex(1);
    chart->repaint();
    const QList<QString> labels = chart->xAxis->tickVectorLabels();
    QVERIFY(!labels.isEmpty());
    QCOMPARE(labels.first(), QStringLiteral("2023.12.03 14:00"));
    const QList<double> ticks = chart->yAxis->tickVector();
    QVERIFY(!ticks.isEmpty() && ticks.first() <= 20 && ticks.last() >= 80);
  }

  void axisControlsKeepTheMaximumAboveTheMinimum() {
    Form1Fixture f("Top2=15\r\nBottom2=10\r\n");
    QCustomPlot* chart = f.form->Controls().Chart_H;
    QCOMPARE(Axis(chart), QCPRange(10, 15));
    QTest::mouseClick(f.form->Controls().UpDnMaxH->findChild<QToolButton*>(QStringLiteral("down")),
                      Qt::LeftButton);
    QCOMPARE(Axis(chart), QCPRange(10, 11));
    QVERIFY(f.form->SaveTimer().isActive());
    f.form->View().pages[PageH].upDnMin.step = 10;
    QTest::mouseClick(f.form->Controls().UpDnMinH->findChild<QToolButton*>(QStringLiteral("up")),
                      Qt::LeftButton);
    QCOMPARE(Axis(chart), QCPRange(10, 11));
    QCOMPARE(f.form->View().pages[PageH].upDnMin.position, 10);
  }

  // A climate device's CO2 and VOC lie far above the default scale of 10 .. 40: its first readout says so
  // in the status bar with the key; the chart's menu item (on the CO2 page) and the key (on the VOC page)
  // fit each chart's two controls to its values, rounded outward to the step, as clicks on the arrows
  // would: the axis follows and cfg.ini takes the positions when the save timer runs.
  void scaleIsFittedToTheReadValues() {
    SimulatorConfig config;
    config.deviceCode = 43;  // TOPAZ: temperature, humidity, CO2, VOC
    config.chipCode = 1;
    config.recordCount = 300;
    RunningSimulator simulator(config);
    // Temperature and humidity on scales that show them, CO2 and VOC on the default one.
    Form1Fixture f(
        "ip1=127.0.0.1\r\nDecimalSeparator=.\r\nTop1=50\r\nBottom1=-20\r\nTop2=100\r\nBottom2=0\r\n"
        "Top3=40\r\nBottom3=10\r\nTop4=40\r\nBottom4=10\r\n");
    Ui::TForm1& ui = f.form->Controls();
    f.form->Link().port = simulator.Port();
    f.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.form.get()));
    QSignalSpy finished(f.form.get(), &TForm1::ReadoutFinished);
    ui.SpeedButton7->click();
    QVERIFY(finished.wait(20000));
    QCOMPARE(f.errors, QStringList());
    const QString co2 = ui.PageControl1->tabText(PageC);
    const QString voc = ui.PageControl1->tabText(PageV);
    QCOMPARE(f.form->StatusPanel(2)->text(),
             QStringLiteral("Skálán kívül: %1, %2 – F6 illeszti").arg(co2, voc));

    QAction* fit = ui.Chart_C->actions().value(0);
    QVERIFY(fit);
    QCOMPARE(ui.Chart_C->contextMenuPolicy(), Qt::ActionsContextMenu);
    QCOMPARE(fit->text(), QStringLiteral("Skála az adatokhoz"));
    QCOMPARE(fit->shortcut(), QKeySequence(Qt::Key_F6));
    for (const ChartPage page : {PageC, PageV}) {
      ui.PageControl1->setCurrentIndex(page);
      if (page == PageC) {
        fit->trigger();
      } else {
        QTest::keyClick(f.form.get(), Qt::Key_F6);
      }
      const ChartPageModel& shown = f.form->View().pages[page];
      double lowest = 1e9;
      double highest = -1e9;
      for (const ChartSeries& series : shown.chart.series) {
        for (const ChartPoint& point : series.Points()) {
          if (point.isNull) continue;
          lowest = std::min(lowest, point.y);
          highest = std::max(highest, point.y);
        }
      }
      const int bottom = shown.upDnMin.position;
      const int top = shown.upDnMax.position;
      QVERIFY2(bottom <= lowest && lowest < bottom + 5 && bottom % 5 == 0,
               qPrintable(QString::number(bottom)));
      QVERIFY2(top >= highest && highest > top - 5 && top % 5 == 0, qPrintable(QString::number(top)));
      QCOMPARE(Axis(page == PageC ? ui.Chart_C : ui.Chart_V), QCPRange(bottom, top));
      QVERIFY(f.form->SaveTimer().isActive());
      QCOMPARE(f.form->StatusPanel(2)->text(),
               page == PageC ? QStringLiteral("Skálán kívül: %1 – F6 illeszti").arg(voc) : QString());
    }

    const QString written = QStringLiteral("Top3=%1\r\nBottom3=%2\r\nTop4=%3\r\nBottom4=%4\r\n")
                                .arg(f.form->View().pages[PageC].upDnMax.position)
                                .arg(f.form->View().pages[PageC].upDnMin.position)
                                .arg(f.form->View().pages[PageV].upDnMax.position)
                                .arg(f.form->View().pages[PageV].upDnMin.position);
    QVERIFY(!QString::fromLatin1(f.folder.Read(QStringLiteral("cfg.ini"))).contains(written));
    QTRY_VERIFY_WITH_TIMEOUT(QString::fromLatin1(f.folder.Read(QStringLiteral("cfg.ini"))).contains(written),
                             5000);

    // The next readout of the same device says nothing more of the scale.
    ui.SpeedButton7->click();
    QVERIFY(finished.wait(20000));
    QCOMPARE(f.form->StatusPanel(2)->text(), QString());
  }

  void axisMinimumStopsAtTheEndOfItsRange() {
    Form1Fixture f("Bottom1=-3200\r\n");
    QTest::mouseClick(f.form->Controls().UpDnMinT->findChild<QToolButton*>(QStringLiteral("down")),
                      Qt::LeftButton);
    QCOMPARE(f.form->View().pages[PageT].upDnMin.position, -3200);
    QCOMPARE(Axis(f.form->Controls().Chart_T), QCPRange(-3200, 40));
  }

  void cursorReadoutShowsThePointUnderTheMouse() {
    Form1Fixture f("");
    f.form->resize(1200, 800);
    f.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.form.get()));
    QCustomPlot* chart = f.form->Controls().Chart_T;
    chart->xAxis->setRange(-0.5, 9.5);
    chart->replot();
    const int x = int(chart->xAxis->coordToPixel(3.2));
    const int y = int(chart->yAxis->coordToPixel(25.0));
    QTest::mouseMove(chart, QPoint(x, y));
    QCOMPARE(f.form->StatusPanel(1)->text(), QStringLiteral("X: 3"));
    QVERIFY(f.form->StatusPanel(0)->text().startsWith(QStringLiteral("Y: 2")));
    QTest::mouseMove(chart, QPoint(1, y));
    QCOMPARE(f.form->StatusPanel(1)->text(), QStringLiteral("X: 0"));
  }

  void scaleAsksUntilTheStepIsValid() {
    Form1Fixture f("Increment=500\r\n");
    f.inputAnswers = {QStringLiteral("abc"), QStringLiteral("101"), QStringLiteral("7")};
    f.form->cc1Click();
    QCOMPARE(f.inputPresets, (QStringList{"500", "500", "500"}));
    for (const auto& page : f.form->View().pages) {
      QCOMPARE(page.upDnMin.step, 7);
      QCOMPARE(page.upDnMax.step, 7);
    }
    QVERIFY(f.form->SaveTimer().isActive());
  }

  void clearingEmptiesTheViewsButKeepsTheLog() {
    Form1Fixture f("");
    f.folder.Write("23.12.03 14.05 VALD_AGATE.csv", "2023;12;03;14;05;21.5;--;\r\n");
    f.nextOpenFile = f.folder.File("23.12.03 14.05 VALD_AGATE.csv");
    f.form->Open1Click();
    QCOMPARE(f.errors, QStringList());
    QCOMPARE(f.form->Controls().LabelDevice->text(), QStringLiteral("AGATE"));
    QCOMPARE(f.form->Controls().Chart_T->graph(0)->dataCount(), 1);
    f.form->Controls().Adatoktrlse1->trigger();
    QCOMPARE(f.form->Controls().Chart_T->graph(0)->dataCount(), 0);
    QCOMPARE(f.form->Controls().Memo2->toPlainText(), QString());
    QCOMPARE(f.form->Controls().LabelProggrPos->text(), QStringLiteral("--"));
    f.nextSaveFile = f.folder.File("januar.csv");
    f.form->Save1Click();
    QCOMPARE(f.folder.Read("januar_AGATE.csv"), QByteArray("2023;12;03;14;05;21.5;--;\r\n"));
  }

  void openingABrokenFileShowsTheErrorAndKeepsTheLog() {
    Form1Fixture f("");
    AddShownLine(f.form->State(), "kept");
    f.nextOpenFile = f.folder.File("missing VALD_AGATE.csv");
    f.form->Open1Click();
    QCOMPARE(f.errors.size(), 1);
    QVERIFY(f.errors[0].contains(QStringLiteral("missing VALD_AGATE.csv")));
    QCOMPARE(f.form->State().LogRecords.Count(), 1);
  }

  void developerToolsDumpTheDeviceMemory() {
    SimulatorConfig config;
    RunningSimulator simulator(config);
    Form1Fixture f("ip1=127.0.0.1\r\n");
    f.form->Link().port = simulator.Port();
    f.form->Controls().Edit3->setText(QStringLiteral("2"));
    f.form->Controls().SpeedButton2->click();
    QCOMPARE(f.form->Controls().Memo1->toPlainText().count(QLatin1Char('\n')), 17);
    QCOMPARE(f.form->Controls().Label1->text(), QStringLiteral("1024"));
    f.form->Controls().SpeedButton4->click();
    QCOMPARE(f.form->Controls().Memo1->toPlainText(), QStringLiteral("10000"));
    f.form->Controls().Button1->click();
    QCOMPARE(f.form->Controls().Memo1->toPlainText(), QStringLiteral("netreset OK"));
    f.form->Controls().Edit3->setText(QStringLiteral("x"));
    f.form->Controls().SpeedButton3->click();
    QCOMPARE(f.errors, QStringList{QStringLiteral("'x' is not a valid integer value")});
  }
};

QTEST_MAIN(WindowHandlersTest)
#include "WindowHandlersTest.moc"
