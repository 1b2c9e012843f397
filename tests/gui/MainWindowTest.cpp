#include <QAccessible>
#include <QLabel>
#include <QSignalSpy>
#include <QTabWidget>
#include <QtTest>

#include "Form1Fixture.h"
#include "JpegImage.h"
#include "TLinkLabel.h"
#include "support/ShownLog.h"
#include "ui_TF_Nev.h"
#include "ui_TForm1.h"
#include "ui_TForm3.h"

namespace {

constexpr int DataPage = 5;

// The names of the page tabs as assistive technology lists them.
QStringList AccessibleTabNames(QTabWidget* pages) {
  QAccessibleInterface* tabBar = QAccessible::queryAccessibleInterface(pages->tabBar());
  QStringList names;
  for (int i = 0; i < tabBar->childCount(); ++i) {
    QAccessibleInterface* tab = tabBar->child(i);
    if (tab->role() == QAccessible::PageTab) names << tab->text(QAccessible::Name);
  }
  return names;
}

// Whether `object` is `node` or one of its descendants in the accessibility tree.
bool AccessibleTreeHolds(QAccessibleInterface* node, QObject* object) {
  if (node->object() == object) return true;
  for (int i = 0; i < node->childCount(); ++i) {
    if (AccessibleTreeHolds(node->child(i), object)) return true;
  }
  return false;
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QLocale::setDefault(QLocale::c()); }

  void startsWithTheDesignCaptionAndControls() {
    Form1Fixture f("");
    QCOMPARE(f.form->windowTitle(), QStringLiteral("VALD CSV v.231203"));
    QCOMPARE(f.errors, QStringList());
    const QStringList names = {
        "Edit_IP1",     "Edit_IP5",      "SpeedButton7", "SpeedButton10", "LabelDevice",  "LabelProggrPos",
        "ProgressBar1", "RichEdit1",     "PageControl1", "Chart_T",       "Chart_V",      "UpDnMaxT",
        "UpDnMinV",     "RichEditH",     "Memo1",        "Memo2",         "Edit_EE_addr", "Edit3",
        "SpeedButton2", "SpeedButton11", "Button1",      "Panel4"};
    for (const QString& name : names) QVERIFY2(f.form->findChild<QWidget*>(name), qPrintable(name));
    QCOMPARE(f.form->Controls().LabelDevice->text(), QStringLiteral("Eszköz neve"));
    QCOMPARE(f.form->StatusPanel(5)->text(), QStringLiteral("6262"));
    QCOMPARE(f.form->StatusPanel(3)->text(), QStringLiteral("--"));
    QCOMPARE(f.form->Controls().PageControl1->count(), 6);
    QCOMPARE(f.form->Controls().SpeedButton7->text(), QStringLiteral("Lekérdezés"));
    QCOMPARE(f.about->Controls().Label3->text(), QStringLiteral("VALD CSV v.231203"));
    QVERIFY(!f.about->Controls().Image1->pixmap().isNull());
  }

  void aboutPictureIsDecodedAndABrokenStreamGivesNoImage() {
    Q_INIT_RESOURCE(resources);
    QFile picture(QStringLiteral(":/about.jpg"));
    QVERIFY(picture.open(QIODevice::ReadOnly));
    const QByteArray jpeg = picture.readAll();
    QCOMPARE(DecodeJpeg(jpeg).size(), QSize(400, 300));
    QVERIFY(DecodeJpeg(QByteArray("not a picture")).isNull());
    QVERIFY(DecodeJpeg(QByteArray()).isNull());
  }

  void markerFileShowsTheDeveloperPage() {
    Form1Fixture with("", {1920, 1080}, true);
    QVERIFY(with.form->Controls().PageControl1->isTabVisible(DataPage));
    Form1Fixture without("", {1920, 1080}, false);
    QVERIFY(!without.form->Controls().PageControl1->isTabVisible(DataPage));
    QVERIFY(without.form->Controls().Panel4->isHidden());
  }

  void developerPageIsAbsentForAssistiveTechnologyWithoutTheMarker() {
    Form1Fixture f("", {1920, 1080}, false);
    QTabWidget* pages = f.form->Controls().PageControl1;
    QVERIFY(!AccessibleTabNames(pages).contains(QStringLiteral("Data")));
    QCOMPARE(AccessibleTabNames(pages).size(), 5);
    QVERIFY(!AccessibleTreeHolds(QAccessible::queryAccessibleInterface(pages), f.form->Controls().Tab_Data));
    f.folder.Write("Tool7.dev", "");
    f.form->FormCreate();
    QCOMPARE(AccessibleTabNames(pages).size(), 6);
    QCOMPARE(AccessibleTabNames(pages).last(), QStringLiteral("Data"));
    QVERIFY(AccessibleTreeHolds(QAccessible::queryAccessibleInterface(pages), f.form->Controls().Tab_Data));
    QVERIFY(pages->isTabVisible(DataPage));
  }

  void missingSettingsFileIsReportedAndLeavesTheDesign() {
    Form1Fixture f(QByteArray(), {1920, 1080}, false);
    QCOMPARE(f.errors.size(), 1);
    QVERIFY(f.errors[0].contains(QStringLiteral("cfg.ini")));
    QVERIFY(f.form->Controls().PageControl1->isTabVisible(DataPage));
    QCOMPARE(f.form->View().pages[PageT].chart.axisMinimum, -200.0);
  }

  void refusedSettingsLineIsReportedAndTheFileKeptWhole() {
    const QByteArray cfg = QByteArrayLiteral("ip1=10.0.0.1\r\nip2=127.0.2.3\0evil\r\nip3=10.0.0.3\r\n");
    Form1Fixture f(cfg);
    QCOMPARE(f.errors, QStringList{f.folder.File(QStringLiteral("cfg.ini")) +
                                   QStringLiteral(" line 2: the line holds a NUL byte")});
    QCOMPARE(f.form->Controls().Edit_IP1->text(), QString());
    f.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.form.get()));
    f.form->Controls().Exit1->trigger();
    QVERIFY(f.folder.Read("cfg.ini").startsWith(cfg));
  }

  void separatorThatWouldBreakTheFilesIsReportedAndTheSystemsUsed() {
    Form1Fixture f("DecimalSeparator=;\r\nip1=10.0.0.1\r\n");
    QCOMPARE(f.errors, QStringList());
    QCOMPARE(f.warnings.size(), 1);
    QVERIFY(f.warnings[0].contains(QStringLiteral("DecimalSeparator értéke („;”)")));
    QCOMPARE(f.form->State().DecimalSeparatorText, QByteArray("."));
    QCOMPARE(f.form->Controls().Edit_IP1->text(), QStringLiteral("10.0.0.1"));
  }

  void placementItemsOnBothScreens_data() {
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<int>("item");
    QTest::addColumn<QRect>("geometry");
    QTest::newRow("1920 1/2") << QSize(1920, 1080) << int(Placement::LeftHalf) << QRect(0, 0, 960, 1052);
    QTest::newRow("1920 4/4") << QSize(1920, 1080) << int(Placement::BottomRightQuarter)
                              << QRect(960, 526, 960, 526);
    QTest::newRow("1920 default") << QSize(1920, 1080) << int(Placement::Default)
                                  << QRect(240, 135, 1440, 810);
    QTest::newRow("1366 default") << QSize(1366, 768) << int(Placement::Default) << QRect(171, 96, 1024, 576);
    QTest::newRow("1366 2/4") << QSize(1366, 768) << int(Placement::TopRightQuarter)
                              << QRect(683, 0, 683, 374);
  }

  void placementItemsOnBothScreens() {
    QFETCH(QSize, screen);
    QFETCH(int, item);
    QFETCH(QRect, geometry);
    Form1Fixture f("", screen);
    f.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.form.get()));
    f.form->PlacementClick(Placement(item));
    QCOMPARE(f.form->frameGeometry(), geometry);
    QVERIFY(f.form->SaveTimer().isActive());
  }

  void closingWritesTheGeometry() {
    Form1Fixture f("Left=20\r\nTop=30\r\nWidth=900\r\nHeight=700\r\nip1=10.0.0.1\r\n");
    f.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.form.get()));
    QCOMPARE(f.form->frameGeometry(), QRect(20, 30, 900, 700));
    f.form->Controls().Edit_IP2->setText(QStringLiteral("typed only"));
    f.form->Controls().Exit1->trigger();
    QCOMPARE(f.folder.Read("cfg.ini"),
             QByteArray("Left=20\r\nTop=30\r\nWidth=900\r\nHeight=700\r\nip1=10.0.0.1\r\n"));
    QCOMPARE(f.form->State().SettingsLines.Count(), 0);
  }

  void aBurstOfArmingActionsSavesOnce() {
    Form1Fixture f("ip3=old\r\n");
    QSignalSpy saves(&f.form->SaveTimer(), &QTimer::timeout);
    f.form->Controls().Edit_IP3->clear();
    f.form->PlacementClick(Placement::LeftHalf);
    QTest::qWait(400);
    f.form->PlacementClick(Placement::RightHalf);
    // The second action restarted the full second.
    QVERIFY(f.form->SaveTimer().remainingTime() > 800);
    QVERIFY(saves.wait(3000));
    QTest::qWait(1200);
    QCOMPARE(saves.count(), 1);
    const QByteArray cfg = f.folder.Read("cfg.ini");
    QVERIFY(!cfg.contains("ip3="));
    QVERIFY(cfg.contains("Top1=40\r\nBottom1=10\r\n"));
  }

  void editorSaveAppliesTheSettingsAtOnce() {
    Form1Fixture f("Left=300\r\nTop=40\r\n");
    f.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.form.get()));
    f.form->View().labelDevice = "AGATE";
    AddShownLine(f.form->State(), "2023;12;03;14;05;21.5;20.0;");
    f.form->cfginiszerkeszts1Click();
    QVERIFY(f.editor->isVisible());
    QCOMPARE(f.editor->Controls().Memo1->toPlainText(), QStringLiteral("Left=300\nTop=40"));
    f.editor->Controls().Memo1->setPlainText(QStringLiteral("Left=10\nTop=40"));
    f.editor->Controls().Button1->click();
    QCOMPARE(f.form->frameGeometry().left(), 10);
    QCOMPARE(f.folder.Read("cfg.ini"), QByteArray("Left=10\r\nTop=40\r\n"));
    QCOMPARE(f.form->Controls().LabelDevice->text(), QStringLiteral("Eszköz neve"));
    QCOMPARE(f.form->State().LogRecords.Count(), 0);
  }

  void aboutWindowAndEditorAreMadeWhenFirstAskedFor() {
    Form1Fixture f("Left=300\r\nTop=40\r\n", {1920, 1080}, true, '.', false);
    QVERIFY(f.form->findChildren<TF_Nev*>().isEmpty());
    QVERIFY(f.form->findChildren<TForm3*>().isEmpty());
    f.form->Nvjegy1Click();
    f.form->Nvjegy1Click();
    const QList<TF_Nev*> abouts = f.form->findChildren<TF_Nev*>();
    QCOMPARE(abouts.size(), 1);
    QVERIFY(abouts[0]->isVisible());
    QCOMPARE(abouts[0]->Controls().Label3->text(), QStringLiteral("VALD CSV v.231203"));
    f.form->cfginiszerkeszts1Click();
    const QList<TForm3*> editors = f.form->findChildren<TForm3*>();
    QCOMPARE(editors.size(), 1);
    QCOMPARE(editors[0]->Controls().Memo1->toPlainText(), QStringLiteral("Left=300\nTop=40"));
    editors[0]->Controls().Memo1->setPlainText(QStringLiteral("Left=10\nTop=40"));
    editors[0]->Controls().Button1->click();
    QCOMPARE(f.folder.Read("cfg.ini"), QByteArray("Left=10\r\nTop=40\r\n"));
  }

  void editorSaveThatCannotWriteKeepsTheLists() {
    Form1Fixture f("Left=300\r\n");
    AddShownLine(f.form->State(), "kept");
    QFile::remove(f.folder.File("cfg.ini"));
    QDir(f.folder.Path()).mkdir(QStringLiteral("cfg.ini"));
    f.form->SaveSettingsFromEditor("Left=10\r\n");
    QCOMPARE(f.errors.size(), 1);
    QCOMPARE(f.form->State().LogRecords.Count(), 1);
  }

  void linkLabelRestoresItsExactLook() {
    Form1Fixture f("");
    TLinkLabel* link = f.about->Controls().LinkLabel1;
    f.about->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.about.get()));
    const QFont font = link->font();
    const QPalette palette = link->palette();
    const bool autoFill = link->autoFillBackground();
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QCoreApplication::sendEvent(link, &enter);
    QVERIFY(link->font().underline());
    QCOMPARE(link->palette().color(link->backgroundRole()), link->ColorOver());
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(link, &leave);
    QCOMPARE(link->font(), font);
    QCOMPARE(link->palette(), palette);
    QCOMPARE(link->autoFillBackground(), autoFill);
  }

  void linkLabelOpensItsUrlOnlyWhenSet() {
    TLinkLabel link;
    QStringList opened;
    link.SetUrlOpener([&](const QString& url) { opened << url; });
    link.resize(50, 13);
    QSignalSpy clicks(&link, &TLinkLabel::Clicked);
    QTest::mouseClick(&link, Qt::LeftButton);
    QCOMPARE(clicks.count(), 1);
    QVERIFY(opened.isEmpty());
    link.SetURL(QStringLiteral("https://vald.example"));
    QTest::mouseClick(&link, Qt::LeftButton);
    QCOMPARE(opened, QStringList{QStringLiteral("https://vald.example")});
  }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
