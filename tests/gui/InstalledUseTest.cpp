#include <QDir>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>

#include "ApplicationName.h"
#include "TForm1.h"
#include "operations/FirstStart.h"
#include "support/SimulatorFixture.h"
#include "support/TempFolder.h"
#include "support/UnwritableFolder.h"
#include "ui_TForm1.h"

// The main window of an installed copy: its executable's folder takes no files, so cfg.ini, the marker
// file, sales.csv and the measurement files live in the user's data folder, as the start-up picks it.
class InstalledUseTest : public QObject {
  Q_OBJECT

  TempFolder home_;
  QStringList errors_;

  std::unique_ptr<TForm1> StartWindow(const Environment& env) {
    Form1Dialogs dialogs;
    dialogs.showError = [this](QWidget*, const QString& text) { errors_ << text; };
    dialogs.showWarning = [this](QWidget*, const QString& text) { errors_ << text; };
    return std::make_unique<TForm1>(env, dialogs);
  }

 private slots:
  void initTestCase() {
    QLocale::setDefault(QLocale::c());
    qputenv("XDG_DATA_HOME", QFile::encodeName(home_.Path()));
    NameApplication();
  }

  void readOnlyProgramFolderKeepsEverythingInTheUsersFolder() {
    const QString appData = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QCOMPARE(appData, home_.File(QStringLiteral("vald_csv")));
    UnwritableFolder executableFolder;
    Environment env;
    env.programFolder = PrepareProgramFolder(executableFolder.Path(), appData, ',');
    env.now = [] { return QDateTime(QDate(2023, 12, 3), QTime(14, 5)); };
    QCOMPARE(env.programFolder, appData);
    QVERIFY(QFileInfo(appData).isDir());

    // The first start finds cfg.ini with every default, written before the window reads it: no message,
    // no developer page, the axes from the controls' positions.
    QCOMPARE(home_.Read(QStringLiteral("vald_csv/cfg.ini")),
             QByteArray(
                 "UDPport=6262\r\nDecimalSeparator=,\r\neeaddr=$1100\r\nTop1=40\r\nBottom1=10\r\nTop2=40\r\n"
                 "Bottom2=10\r\nTop3=40\r\nBottom3=10\r\nTop4=40\r\nBottom4=10\r\nIncrement=5\r\n"));
    {
      const std::unique_ptr<TForm1> first = StartWindow(env);
      QCOMPARE(errors_, QStringList());
      QVERIFY(!first->View().developerPageVisible);
      for (const ChartPageModel& page : first->View().pages) {
        QCOMPARE(page.chart.axisMinimum, 10.0);
        QCOMPARE(page.chart.axisMaximum, 40.0);
      }
      first->close();
    }
    // A second start keeps what the user has: the file is not written again.
    home_.Write(QStringLiteral("vald_csv/cfg.ini"), "Top1=55\r\n");
    QCOMPARE(PrepareProgramFolder(executableFolder.Path(), appData, ','), appData);
    QCOMPARE(home_.Read(QStringLiteral("vald_csv/cfg.ini")), QByteArray("Top1=55\r\n"));

    errors_.clear();
    home_.Write(QStringLiteral("vald_csv/cfg.ini"), "ip1=127.0.0.1\r\nLeft=20\r\n");
    home_.Write(QStringLiteral("vald_csv/Tool7.dev"), "");
    home_.Write(QStringLiteral("vald_csv/sales.csv"), "");
    SimulatorConfig config;
    config.deviceCode = 21;
    config.chipCode = 1;
    config.recordCount = 50;
    RunningSimulator simulator(config);
    const std::unique_ptr<TForm1> form = StartWindow(env);
    form->Link().port = simulator.Port();
    QVERIFY(form->View().developerPageVisible);
    QSignalSpy readoutDone(form.get(), &TForm1::ReadoutFinished);
    form->Controls().SpeedButton7->click();
    QVERIFY(readoutDone.wait(20000));
    form->SpeedButton11Click();
    form->close();
    QCOMPARE(errors_, QStringList());
    QVERIFY(home_.Exists(QStringLiteral("vald_csv/23.12.03 14.05 VALD_AGATE.csv")));
    QVERIFY(home_.Read(QStringLiteral("vald_csv/sales.csv")).contains("23.12.03;"));
    QVERIFY(home_.Read(QStringLiteral("vald_csv/cfg.ini")).contains("\r\nWidth="));
    for (const char* name : {"cfg.ini", "sales.csv", "Tool7.dev", "23.12.03 14.05 VALD_AGATE.csv"})
      QVERIFY2(!QFile::exists(executableFolder.Path() + QLatin1Char('/') + QLatin1String(name)), name);
  }

  // A program folder of its own gets no cfg.ini at start: its first start reports the missing file.
  void programFolderOfItsOwnIsLeftAsItIs() {
    TempFolder executableFolder;
    QCOMPARE(PrepareProgramFolder(executableFolder.Path(), home_.File(QStringLiteral("unused")), '.'),
             executableFolder.Path());
    QVERIFY(!executableFolder.Exists(QStringLiteral("cfg.ini")));
    QVERIFY(!home_.Exists(QStringLiteral("unused")));
  }
};

QTEST_MAIN(InstalledUseTest)
#include "InstalledUseTest.moc"
