#include <qcustomplot.h>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QSignalSpy>
#include <QtTest>

#include "Form1Fixture.h"
#include "files/SimulatedReadout.h"
#include "support/ShownLog.h"
#include "support/SimulatorFixture.h"
#include "ui_TForm1.h"

// The main window while devices are read: it stays live, shows progress, can be stopped, reads all its
// addresses; and the charts that can be zoomed and saved as pictures.
class LiveWindowTest : public QObject {
  Q_OBJECT

  static constexpr int ReadoutWaitMs = 60000;

  // A 25LC512 device (96 blocks) whose every reply waits `replyDelayMs`.
  static SimulatorConfig SlowDevice(int deviceCode, int replyDelayMs) {
    SimulatorConfig config;
    config.deviceCode = deviceCode;
    config.chipCode = 2;
    config.recordCount = 1500;
    config.replyDelayMs = replyDelayMs;
    return config;
  }

  static QStringList Files(const Form1Fixture& f) { return QDir(f.folder.Path()).entryList({"*.csv"}); }

  static void WaitForBlock(Form1Fixture& f, int block) {
    QTRY_VERIFY_WITH_TIMEOUT(f.form->Controls().ProgressBar1->value() >= block, ReadoutWaitMs);
  }

 private slots:
  void initTestCase() { QLocale::setDefault(QLocale::c()); }

  // F5 reads the first address; a 10 ms timer keeps firing all the while, the bar counts the blocks,
  // the wide panel names the device and block, and afterwards the bar is the fill gauge again.
  void theWindowStaysLiveAndShowsProgress() {
    RunningSimulator simulator(SlowDevice(27, 3));
    Form1Fixture f("ip1=127.0.0.1\r\nDecimalSeparator=.\r\n");
    f.form->Link().port = simulator.Port();
    f.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.form.get()));
    QList<int> progress;
    QStringList panelTexts;
    connect(f.form->Controls().ProgressBar1, &QProgressBar::valueChanged, this, [&](int value) {
      progress << value;
      panelTexts << f.form->StatusPanel(2)->text();
    });
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QElapsedTimer sinceTick;
    qint64 largestGapMs = 0;
    connect(&ticker, &QTimer::timeout, this,
            [&] { largestGapMs = std::max(largestGapMs, sinceTick.restart()); });
    QSignalSpy finished(f.form.get(), &TForm1::ReadoutFinished);

    QTest::keyClick(f.form.get(), Qt::Key_F5);
    sinceTick.start();
    ticker.start(10);
    QVERIFY(f.form->ReadoutRunning());
    QVERIFY(!f.form->Controls().SpeedButton6->isEnabled());
    QVERIFY(!f.form->Controls().Open1->isEnabled());
    QVERIFY(!f.form->Controls().SpeedButton2->isEnabled());
    QVERIFY(f.form->Controls().ButtonCancel->isVisible());
    QVERIFY(finished.wait(ReadoutWaitMs));
    ticker.stop();
    qInfo("largest gap between 10 ms timer ticks during the readout: %lld ms", largestGapMs);

    QVERIFY(largestGapMs < 150);
    QCOMPARE(f.errors, QStringList());
    QVERIFY(progress.size() >= 96);
    QVERIFY(std::is_sorted(progress.begin() + 1, progress.end()));
    QVERIFY(panelTexts.contains(QStringLiteral("127.0.0.1: 37/96 blokk")));
    QCOMPARE(f.form->Controls().LabelDevice->text(), QStringLiteral("IOLITE"));
    QCOMPARE(f.form->Controls().LabelProggrPos->text(), QString::fromLatin1(f.form->View().gaugeCaption));
    QCOMPARE(f.form->Controls().ProgressBar1->maximum(), f.form->View().progressMaximum);
    QVERIFY(f.form->Controls().SpeedButton6->isEnabled());
    QVERIFY(f.form->Controls().Open1->isEnabled());
    QVERIFY(!f.form->Controls().ButtonCancel->isVisible());
    QCOMPARE(Files(f).size(), 1);
  }

  // Esc and "Megszakítás" stop the readout after the exchange in flight: log, views, memos, files and
  // gauge stay as they were; closing the window during a readout cancels it and then closes.
  void cancelLeavesEverythingAsItWas_data() {
    QTest::addColumn<bool>("byKey");
    QTest::addColumn<bool>("byClosing");
    QTest::newRow("Megszakítás") << false << false;
    QTest::newRow("Esc") << true << false;
    QTest::newRow("closing the window") << false << true;
  }
  void cancelLeavesEverythingAsItWas() {
    QFETCH(bool, byKey);
    QFETCH(bool, byClosing);
    RunningSimulator simulator(SlowDevice(27, 3));
    Form1Fixture f("ip1=127.0.0.1\r\nDecimalSeparator=.\r\n");
    f.folder.Write("23.12.03 14.05 VALD_AGATE.csv", "2023;12;03;14;05;21.5;--;\r\n");
    f.nextOpenFile = f.folder.File("23.12.03 14.05 VALD_AGATE.csv");
    f.form->Open1Click();
    f.form->Link().port = simulator.Port();
    f.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.form.get()));
    const QByteArray logBefore = ShownLines(f.form->State()).Text();
    const QString memoBefore = f.form->Controls().Memo2->toPlainText();
    const QString gaugeBefore = f.form->Controls().LabelProggrPos->text();
    const int barBefore = f.form->Controls().ProgressBar1->value();
    const QStringList filesBefore = Files(f);
    QSignalSpy finished(f.form.get(), &TForm1::ReadoutFinished);

    f.form->Controls().SpeedButton7->click();
    WaitForBlock(f, 10);
    if (byClosing) {
      f.form->close();
    } else if (byKey) {
      QTest::keyClick(f.form.get(), Qt::Key_Escape);
    } else {
      f.form->Controls().ButtonCancel->click();
    }
    QVERIFY(finished.wait(ReadoutWaitMs));

    QCOMPARE(Files(f), filesBefore);
    QCOMPARE(f.errors, QStringList());
    QVERIFY(simulator.Requests().size() < 97);
    if (byClosing) {
      // Closed as always: settings saved, lists freed.
      QVERIFY(!f.form->isVisible());
      QVERIFY(f.folder.Exists(QStringLiteral("cfg.ini")));
      return;
    }
    QCOMPARE(ShownLines(f.form->State()).Text(), logBefore);
    QCOMPARE(f.form->Controls().Memo2->toPlainText(), memoBefore);
    QCOMPARE(f.form->Controls().LabelDevice->text(), QStringLiteral("AGATE"));
    QCOMPARE(f.form->Controls().Chart_T->graph(0)->dataCount(), 1);
    QCOMPARE(f.form->Controls().LabelProggrPos->text(), gaugeBefore);
    QCOMPARE(f.form->Controls().ProgressBar1->value(), barBefore);
    QCOMPARE(f.form->StatusPanel(2)->text(), QStringLiteral("Lekérdezés megszakítva"));
    QVERIFY(f.form->Controls().SpeedButton7->isEnabled());
    QVERIFY(!f.form->Controls().ButtonCancel->isVisible());
  }

  // A readout in the window writes the same bytes as the checked-in golden readouts.
  void liveReadoutFilesAreTheGoldenFiles_data() {
    QTest::addColumn<int>("deviceCode");
    for (int code : {2, 21, 43, 46, 50, 55}) QTest::addRow("device %d", code) << code;
  }
  void liveReadoutFilesAreTheGoldenFiles() {
    QFETCH(int, deviceCode);
    SimulatorConfig config = FixedSimulatorConfig(deviceCode, 200);
    config.replyDelayMs = 1;
    RunningSimulator simulator(config);
    Form1Fixture f("ip1=127.0.0.1\r\nDecimalSeparator=,\r\n", {1920, 1080}, true, ',');
    f.form->Link().port = simulator.Port();
    QSignalSpy finished(f.form.get(), &TForm1::ReadoutFinished);
    f.form->Controls().SpeedButton7->click();
    QVERIFY(finished.wait(ReadoutWaitMs));
    const QStringList written = Files(f);
    QCOMPARE(written.size(), 1);
    QFile golden(QStringLiteral(VALD_GOLDEN_DIR "/%1/%2").arg(deviceCode).arg(written[0]));
    QVERIFY(golden.open(QIODevice::ReadOnly));
    QCOMPARE(f.folder.Read(written[0]), golden.readAll());
  }

  // "Összes lekérdezése": two devices each write their file, a silent third address is reported, an
  // empty address field is passed over.
  void readAllReadsEveryAddress() {
    SimulatorConfig agate = FixedSimulatorConfig(2, 100);
    RunningSimulator first(agate);
    std::unique_ptr<RunningSimulator> second;
    try {
      second = std::make_unique<RunningSimulator>(FixedSimulatorConfig(43, 100), QHostAddress("127.0.0.2"),
                                                  first.Port());
    } catch (const std::exception&) {
      QSKIP("no second loopback address");
    }
    Form1Fixture f("ip1=127.0.0.1\r\nip2=127.0.0.2\r\nip4=127.0.0.3\r\nDecimalSeparator=.\r\n");
    f.form->Link().port = first.Port();
    QStringList panels;
    connect(f.form->Controls().ProgressBar1, &QProgressBar::valueChanged, this,
            [&] { panels << f.form->StatusPanel(2)->text(); });
    QSignalSpy finished(f.form.get(), &TForm1::ReadoutFinished);
    f.form->Controls().ReadAll1->trigger();
    QVERIFY(finished.wait(ReadoutWaitMs));

    QCOMPARE(Files(f), (QStringList{"23.12.03 14.05 VALD_AGATE.csv", "23.12.03 14.05 VALD_TOPAZ.csv"}));
    QCOMPARE(f.messages, QStringList{QStringLiteral("127.0.0.1: 23.12.03 14.05 VALD_AGATE.csv\n"
                                                    "127.0.0.2: 23.12.03 14.05 VALD_TOPAZ.csv\n"
                                                    "127.0.0.3: nem válaszolt")});
    QCOMPARE(f.errors, QStringList());
    QCOMPARE(f.warnings, QStringList());
    QVERIFY(panels.contains(QStringLiteral("127.0.0.1: 32/32 blokk")));
    QVERIFY(panels.contains(QStringLiteral("127.0.0.2: 32/32 blokk")));
    // The views are those of the last device read.
    QCOMPARE(f.form->Controls().LabelDevice->text(), QStringLiteral("No device"));
    QCOMPARE(f.form->State().LogRecords.Count(), 0);
  }

  // The wheel zooms the time axis around the cursor, the left axis keeps its limits, the cursor
  // readout names the point under the mouse, a double click shows the whole log; the chart page is
  // saved as PNG or PDF under a name from the device type and the time.
  void chartsZoomAndSaveAsPictures() {
    Form1Fixture f("Top1=30\r\nBottom1=10\r\n");
    f.OfferHourLog(QStringLiteral("23.12.03 14.05 VALD_AGATE.csv"), "21.5;20.0;");
    f.form->resize(1200, 800);
    f.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.form.get()));
    f.form->Open1Click();
    QCustomPlot* chart = f.form->Controls().Chart_T;
    chart->replot();
    QCOMPARE(chart->xAxis->range(), QCPRange(-0.5, 59.5));

    const QPointF centre(chart->xAxis->coordToPixel(30), chart->yAxis->coordToPixel(20));
    QWheelEvent wheel(centre, chart->mapToGlobal(centre), {}, {0, 1200}, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(chart, &wheel);
    chart->replot();
    const QCPRange zoomed = chart->xAxis->range();
    QVERIFY(zoomed.size() < 30);
    QVERIFY(zoomed.contains(30));
    QCOMPARE(chart->yAxis->range(), QCPRange(10, 30));
    const int x = int(chart->xAxis->coordToPixel(33.2));
    QTest::mouseMove(chart, QPoint(x, int(centre.y())));
    QCOMPARE(f.form->StatusPanel(1)->text(), QStringLiteral("X: 33"));

    QTest::mouseDClick(chart, Qt::LeftButton, {}, centre.toPoint());
    QCOMPARE(chart->xAxis->range(), QCPRange(-0.5, 59.5));

    for (const QString& name : {QStringLiteral("chart.png"), QStringLiteral("chart.pdf")}) {
      f.nextImageFile = f.folder.File(name);
      f.form->Controls().SaveImage1->trigger();
      QCOMPARE(f.suggestedImageName, QStringLiteral("23.12.03 14.05 VALD_AGATE.png"));
      QFile picture(f.nextImageFile);
      QVERIFY(picture.open(QIODevice::ReadOnly));
      QVERIFY(picture.read(8).contains(name.endsWith("pdf") ? "%PDF" : "PNG"));
    }
    QCOMPARE(f.errors, QStringList());
  }
};

QTEST_MAIN(LiveWindowTest)
#include "LiveWindowTest.moc"
