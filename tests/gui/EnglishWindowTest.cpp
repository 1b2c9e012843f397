#include <QProcess>
#include <QXmlStreamReader>
#include <QtTest>

#include "Form1Fixture.h"
#include "core/TextLines.h"
#include "settings/LanguageSetting.h"
#include "support/ProgramRun.h"
#include "translations/Translation.h"
#include "ui_TForm1.h"

// The window in English: cfg.ini's Language=en installs the English translation before the windows are
// made, as the program's start-up does. The Hungarian window is what the other window tests see.
class EnglishWindowTest : public QObject {
  Q_OBJECT

  TempFolder start_;

 private slots:
  void initTestCase() {
    QLocale::setDefault(QLocale::c());
    start_.Write("cfg.ini", "ip1=127.0.0.1\r\nLanguage=en\r\n");
    QCOMPARE(LanguageSetting(start_.Path()), QStringLiteral("en"));
    QCOMPARE(InstallTranslation(*QCoreApplication::instance(), LanguageSetting(start_.Path())), QString());
  }

  void menusButtonsAndPagesAreEnglish() {
    Form1Fixture f("Language=en\r\n");
    Ui::TForm1& ui = f.form->Controls();
    QCOMPARE(f.errors, QStringList());
    QCOMPARE(ui.Fjl1->title(), QStringLiteral("File"));
    QCOMPARE(ui.Pozci1->title(), QStringLiteral("Position"));
    const QList<std::pair<QAction*, const char*>> actions = {{ui.Open1, "Open"},
                                                             {ui.Save1, "Save"},
                                                             {ui.Elzmnyek1, "History..."},
                                                             {ui.ReadAll1, "Read all"},
                                                             {ui.SaveImage1, "Save picture..."},
                                                             {ui.Exit1, "Exit"},
                                                             {ui.Alaprtelmezett1, "Default"},
                                                             {ui.cc1, "Scale"},
                                                             {ui.Nvjegy1, "About"},
                                                             {ui.Adatoktrlse1, "Clear data"},
                                                             {ui.cfginiszerkeszts1, "Cfg.ini"}};
    for (const auto& [action, text] : actions) QCOMPARE(action->text(), QString::fromUtf8(text));
    QCOMPARE(ui.SpeedButton7->text(), QStringLiteral("Read"));
    QCOMPARE(ui.ButtonCancel->text(), QStringLiteral("Cancel"));
    QCOMPARE(ui.LabelDevice->text(), QStringLiteral("Device name"));
    QCOMPARE(ui.PageControl1->tabText(4), QStringLiteral("Records"));

    // The views' fixed texts are translated where the window shows them; the values are not.
    f.folder.Write("23.12.03 14.05 VALD_AGATE.csv", "2023;12;03;14;05;21.5;--;\r\n");
    f.nextOpenFile = f.folder.File("23.12.03 14.05 VALD_AGATE.csv");
    f.form->Open1Click();
    QCOMPARE(f.errors, QStringList());
    QCOMPARE(ui.LabelDevice->text(), QStringLiteral("AGATE"));
    QCOMPARE(ui.PageControl1->tabText(0), QStringLiteral("Temperature"));
    QVERIFY2(ui.RichEditT->toPlainText().startsWith(QStringLiteral("Last measured temperatures: 21.5")),
             qPrintable(ui.RichEditT->toPlainText()));
    QVERIFY2(ui.RichEdit1->toPlainText().startsWith(QStringLiteral("Temperature:\n")),
             qPrintable(ui.RichEdit1->toPlainText()));

    // An export labels its columns in English.
    f.nextExportFile = f.folder.File("export.csv");
    ui.Exportls1->trigger();
    QCOMPARE(f.errors, QStringList());
    QCOMPARE(QString::fromUtf8(f.folder.Read("export.csv")).section(QStringLiteral("\r\n"), 0, 0),
             QStringLiteral("time,Temperature 1 (°C),Temperature 2 (°C)"));

    // So is the report.
    f.nextReportFile = f.folder.File("report.pdf");
    ui.Jelents1->trigger();
    QCOMPARE(f.errors, QStringList());
    const ProcessResult report =
        RunProgram(QStringLiteral("pdftotext"), {f.folder.File("report.pdf"), QStringLiteral("-")});
    QVERIFY2(report.out.contains(QStringLiteral("Measurement report")), qPrintable(report.out));
    QVERIFY(report.out.contains(QStringLiteral("Verdict: no limits set")));
    QVERIFY(report.out.contains(QStringLiteral("Page 1 of 1")));
    QVERIFY(!report.out.contains(QStringLiteral("rekord")));
  }

  void languageFromTheCommandLineOrNone() {
    QCoreApplication& application = *QCoreApplication::instance();
    QCOMPARE(InstallTranslation(application, QString()), QString());
    QCOMPARE(InstallTranslation(application, QStringLiteral("hu")), QString());
    QCOMPARE(InstallTranslation(application, QStringLiteral("de")),
             QStringLiteral("No translation into \"de\": the window stays Hungarian."));
    TempFolder noSettings;
    QCOMPARE(LanguageSetting(noSettings.Path()), QString());
  }

  // Every text of the sources has its English translation: the translation's update script run into a
  // copy of the translation adds no unfinished text.
  void everyTextOfTheSourcesIsTranslated() {
    TempFolder scratch;
    scratch.Write("vald_csv_en.ts",
                  ReadWholeFile(QStringLiteral(VALD_SOURCE_DIR "/translations/vald_csv_en.ts")));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LUPDATE"), QStringLiteral(VALD_LUPDATE));
    const ProcessResult update = RunProgram(
        QStringLiteral("bash"),
        {QStringLiteral(VALD_SOURCE_DIR "/scripts/update-translations.sh"), scratch.File("vald_csv_en.ts")},
        environment);
    QVERIFY2(update.exitCode == 0, qPrintable(update.err));
    QXmlStreamReader ts(scratch.Read("vald_csv_en.ts"));
    QStringList unfinished;
    QString source;
    while (ts.readNextStartElement() || !ts.atEnd()) {
      if (!ts.isStartElement()) continue;
      if (ts.name() == QLatin1String("source")) source = ts.readElementText();
      if (ts.name() == QLatin1String("translation") &&
          ts.attributes().value(QLatin1String("type")) == QLatin1String("unfinished")) {
        unfinished << source;
      }
    }
    QCOMPARE(unfinished, QStringList());
  }

  void helpAndVersionAnswerWithoutADisplay() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) environment.remove(name);
    const ProcessResult version =
        RunProgram(QStringLiteral(VALD_PROGRAM_DIR "/vald_csv"), {QStringLiteral("--version")}, environment);
    QCOMPARE(version.exitCode, 0);
    QCOMPARE(version.out, QStringLiteral("vald_csv " VALD_VERSION "\n"));
    const ProcessResult help =
        RunProgram(QStringLiteral(VALD_PROGRAM_DIR "/vald_csv"), {QStringLiteral("--help")}, environment);
    QCOMPARE(help.exitCode, 0);
    QVERIFY(help.out.startsWith(QStringLiteral("Usage: vald_csv ")));
    const ProcessResult noLanguage =
        RunProgram(QStringLiteral(VALD_PROGRAM_DIR "/vald_csv"), {QStringLiteral("--lang")}, environment);
    QCOMPARE(noLanguage.exitCode, 2);
    QVERIFY(noLanguage.err.startsWith(QStringLiteral("--lang needs a language")));
  }
};

QTEST_MAIN(EnglishWindowTest)
#include "EnglishWindowTest.moc"
