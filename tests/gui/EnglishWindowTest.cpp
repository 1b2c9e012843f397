#include <qcustomplot.h>
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTextEdit>
#include <QXmlStreamReader>
#include <QtTest>

#include "Form1Fixture.h"
#include "core/BoundedFile.h"
#include "core/EditedTextFile.h"
#include "core/TextLines.h"
#include "settings/LanguageSetting.h"
#include "support/ProgramRun.h"
#include "support/SimulatorFixture.h"
#include "translations/Translation.h"
#include "ui_TForm1.h"

namespace {

// Words of the window's Hungarian texts. None may show in English; neither may a letter that only
// Hungarian uses, which catches the words not listed.
const char* const HungarianWords[] = {"Fájl",
                                      "Megnyitás",
                                      "Mentés",
                                      "Mégse",
                                      "Előzmények",
                                      "Exportálás",
                                      "Összes",
                                      "lekérdezése",
                                      "Lekérdezés",
                                      "Kép",
                                      "mentése",
                                      "Határértékek",
                                      "Statisztika",
                                      "Jelentés",
                                      "Kilépés",
                                      "Pozíció",
                                      "Alapértelmezett",
                                      "Skála",
                                      "Névjegy",
                                      "Adatok",
                                      "törlése",
                                      "Riasztás",
                                      "Eszköz",
                                      "neve",
                                      "Megszakítás",
                                      "Hőmérséklet",
                                      "Páratartalom",
                                      "Nap",
                                      "Csatorna",
                                      "Mennyiség",
                                      "Egység",
                                      "Darab",
                                      "Átlag",
                                      "Napi",
                                      "statisztika",
                                      "munkafüzet",
                                      "dokumentum",
                                      "kép",
                                      "Kezdete",
                                      "Vége",
                                      "Soronként",
                                      "szabály",
                                      "Nincs",
                                      "nincs",
                                      "adat",
                                      "blokk",
                                      "rekord",
                                      "hozzáadva",
                                      "kívül",
                                      "illeszti",
                                      "Kérem",
                                      "értéket",
                                      "növelés",
                                      "csökkentés",
                                      "mértéke",
                                      "Utoljára",
                                      "mért",
                                      "adatok",
                                      "csatorna",
                                      "felső",
                                      "alsó",
                                      "határ",
                                      "felett",
                                      "alatt",
                                      "szélsőérték",
                                      "új",
                                      "riasztás",
                                      "Határérték-túllépés",
                                      "napló",
                                      "hiányos",
                                      "szerkesztés",
                                      "Fejlesztő",
                                      "Rekordok",
                                      "Grafikon",
                                      "archívum",
                                      "sikerült",
                                      "eszköz"};

bool IsHungarian(const QString& text) {
  static const QRegularExpression letters(QStringLiteral("[áéíóöőúüűÁÉÍÓÖŐÚÜŰ]"));
  if (letters.match(text).hasMatch()) return true;
  for (const char* word : HungarianWords) {
    const QRegularExpression whole(
        QStringLiteral("(^|\\W)%1($|\\W)").arg(QRegularExpression::escape(QString::fromUtf8(word))));
    if (whole.match(text).hasMatch()) return true;
  }
  return false;
}

void AddActionTexts(const QList<QAction*>& actions, const QString& where, QStringList& texts) {
  for (QAction* action : actions) {
    texts << where + QStringLiteral(" action: ") + action->text()
          << where + QStringLiteral(" tooltip: ") + action->toolTip();
    if (action->menu())
      AddActionTexts(action->menu()->actions(), where + QLatin1Char('/') + action->text(), texts);
  }
}

// Every text a window shows or can show, each with where it is: its title, and of every widget in it the
// text, tooltip, placeholder, items, tab and header captions, table cells and menu entries.
QStringList VisibleTexts(QWidget* window) {
  QStringList texts{QStringLiteral("title: ") + window->windowTitle()};
  QList<QWidget*> widgets = window->findChildren<QWidget*>();
  widgets.prepend(window);
  for (QWidget* widget : widgets) {
    const QString where =
        QString::fromLatin1(widget->metaObject()->className()) + QLatin1Char(' ') + widget->objectName();
    texts << where + QStringLiteral(" tooltip: ") + widget->toolTip()
          << where + QStringLiteral(" status tip: ") + widget->statusTip();
    AddActionTexts(widget->actions(), where, texts);
    if (auto* label = qobject_cast<QLabel*>(widget)) texts << where + QStringLiteral(": ") + label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
      texts << where + QStringLiteral(": ") + button->text();
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
      texts << where + QStringLiteral(": ") + edit->text()
            << where + QStringLiteral(": ") + edit->placeholderText();
    if (auto* edit = qobject_cast<QTextEdit*>(widget))
      texts << where + QStringLiteral(": ") + edit->toPlainText();
    if (auto* edit = qobject_cast<QPlainTextEdit*>(widget))
      texts << where + QStringLiteral(": ") + edit->toPlainText();
    if (auto* box = qobject_cast<QGroupBox*>(widget)) texts << where + QStringLiteral(": ") + box->title();
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
      for (int i = 0; i < combo->count(); ++i)
        texts << where + QStringLiteral(" item: ") + combo->itemText(i);
    }
    if (auto* tabs = qobject_cast<QTabWidget*>(widget)) {
      for (int i = 0; i < tabs->count(); ++i) texts << where + QStringLiteral(" tab: ") + tabs->tabText(i);
    }
    if (auto* view = qobject_cast<QAbstractItemView*>(widget); view && view->model()) {
      const QAbstractItemModel& model = *view->model();
      for (int column = 0; column < model.columnCount(view->rootIndex()); ++column)
        texts << where + QStringLiteral(" header: ") + model.headerData(column, Qt::Horizontal).toString();
      for (int row = 0; row < model.rowCount(view->rootIndex()); ++row) {
        for (int column = 0; column < model.columnCount(view->rootIndex()); ++column)
          texts << where + QStringLiteral(" cell: ") +
                       model.index(row, column, view->rootIndex()).data().toString();
      }
    }
  }
  return texts;
}

// Reads every dialog as it shows and closes it again, as a user would cancel it.
class DialogReader : public QObject {
 public:
  QStringList texts;
  QStringList titles;

  DialogReader() { qApp->installEventFilter(this); }
  ~DialogReader() override { qApp->removeEventFilter(this); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* dialog = qobject_cast<QDialog*>(watched);
    if (event->type() == QEvent::Show && dialog && dialog->isModal()) {
      QTimer::singleShot(0, dialog, [this, dialog] {
        titles << dialog->windowTitle();
        texts << VisibleTexts(dialog);
        dialog->done(QDialog::Rejected);
      });
    }
    return QObject::eventFilter(watched, event);
  }
};

}  // namespace

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

  // A readout of a climate device with limits into an archive, then every menu item, the charts' menu and
  // the windows they open, through the real dialogs: not one Hungarian word in all they show.
  void everyWindowAndDialogIsEnglish() {
    SimulatorConfig config;
    config.deviceCode = 43;  // TOPAZ: temperature, humidity, CO2, VOC
    config.chipCode = 1;
    config.recordCount = 300;
    RunningSimulator simulator(config);
    TempFolder folder;
    folder.Write("cfg.ini", "ip1=127.0.0.1\r\nip2=127.0.0.1\r\nDecimalSeparator=.\r\nLanguage=en\r\n");
    folder.Write("limits.csv", "*;co2;;500\n");
    folder.Write("Tool7.dev", "");
    Environment env;
    env.programFolder = folder.Path();
    env.archive = QStringLiteral("archive.sqlite");
    env.now = [] { return QDateTime(QDate(2024, 3, 4), QTime(9, 0)); };
    DialogReader reader;
    TForm1 form(env);
    Ui::TForm1& ui = form.Controls();
    form.Link().port = simulator.Port();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QSignalSpy finished(&form, &TForm1::ReadoutFinished);
    ui.SpeedButton7->click();
    QVERIFY(finished.wait(20000));
    QCOMPARE(form.StatusPanel(4)->text().section(QLatin1Char(' '), 0, 0), QStringLiteral("Alarms:"));
    QVERIFY2(form.StatusPanel(2)->text().startsWith(QStringLiteral("Off the scale: ")),
             qPrintable(form.StatusPanel(2)->text()));
    QStringList texts = VisibleTexts(&form);

    ui.PageControl1->setCurrentIndex(PageC);
    ui.Elzmnyek1->trigger();
    for (QAction* action : {ui.Open1, ui.Save1, ui.Exportls1, ui.SaveImage1, ui.Hatrrtkek1, ui.Statisztika1,
                            ui.Jelents1, ui.cc1, ui.ScaleToData1, ui.Nvjegy1, ui.cfginiszerkeszts1}) {
      action->trigger();
    }
    ui.ReadAll1->trigger();
    QVERIFY(finished.wait(20000));
    for (QWidget* window : QApplication::topLevelWidgets()) {
      if (window->isVisible()) texts << VisibleTexts(window);
    }
    ui.Adatoktrlse1->trigger();
    texts << VisibleTexts(&form);
    texts << reader.texts;

    // The menu items' dialogs were there to be read: their captions and file types.
    for (const char* title : {"History", "Limits", "Daily statistics", "Scale step"})
      QVERIFY2(reader.titles.contains(QString::fromUtf8(title)), qPrintable(reader.titles.join(" | ")));
    for (const char* fileType : {"Excel workbook (*.xlsx)", "PDF document (*.pdf)", "PNG picture (*.png)"}) {
      QVERIFY2(!reader.texts.filter(QStringLiteral(" item: ") + QString::fromUtf8(fileType)).isEmpty(),
               fileType);
    }
    qInfo("%lld texts read, of the main window and %lld dialogs: %s", qlonglong(texts.size()),
          qlonglong(reader.titles.size()), qPrintable(reader.titles.join(QStringLiteral(" | "))));
    QStringList hungarian;
    for (const QString& text : texts) {
      if (IsHungarian(text)) hungarian << text;
    }
    QVERIFY2(hungarian.isEmpty(), qPrintable(hungarian.join(QLatin1Char('\n'))));
    form.hide();
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
    scratch.Write(
        "vald_csv_en.ts",
        ReadWholeFile(QStringLiteral(VALD_SOURCE_DIR "/translations/vald_csv_en.ts"), MaxEditedFileBytes));
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
