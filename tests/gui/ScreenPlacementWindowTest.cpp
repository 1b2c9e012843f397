#include <QApplication>
#include <QScreen>
#include <QtTest>

#include "ScreenAreas.h"
#include "TForm1.h"
#include "support/TempFolder.h"
#include "ui_TForm1.h"

// The main window on a laptop's screen of 1600 × 1000: the offscreen platform is given that screen
// before the application starts (see main below), and the window finds it as the program does.
class ScreenPlacementWindowTest : public QObject {
  Q_OBJECT

  static constexpr QRect Screen{0, 0, 1600, 1000};

  struct Window {
    TempFolder folder;
    QStringList errors;
    std::unique_ptr<TForm1> form;

    explicit Window(const QByteArray& cfg) {
      folder.Write(QStringLiteral("cfg.ini"), cfg);
      Environment env;
      env.programFolder = folder.Path();
      env.screenSize = QGuiApplication::primaryScreen()->size();
      env.availableScreens = AvailableScreenAreas();
      Form1Dialogs dialogs;
      dialogs.showError = [this](QWidget*, const QString& text) { errors << text; };
      dialogs.showWarning = dialogs.showError;
      form = std::make_unique<TForm1>(env, dialogs);
      form->show();
    }
    ~Window() { form->hide(); }
  };

  // The window's outer rectangle and the query buttons lie within the screen.
  static void VerifyWithinScreen(TForm1& form) {
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QVERIFY2(Screen.contains(form.frameGeometry()), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                                   .arg(form.frameGeometry().x())
                                                                   .arg(form.frameGeometry().y())
                                                                   .arg(form.frameGeometry().width())
                                                                   .arg(form.frameGeometry().height())));
    const std::initializer_list<QWidget*> controls = {
        form.Controls().SpeedButton7, form.Controls().SpeedButton10, form.Controls().Edit_IP1};
    for (QWidget* button : controls) {
      QVERIFY(Screen.contains(QRect(button->mapToGlobal(QPoint(0, 0)), button->size())));
    }
  }

 private slots:
  void theScreenIsTheLaptops() {
    QCOMPARE(QGuiApplication::primaryScreen()->availableGeometry(), Screen);
    QCOMPARE(AvailableScreenAreas(), QList<QRect>{Screen});
  }

  // No stored position: the design size, centred, since at its design place it would reach past the
  // right edge.
  void firstWindowFitsTheScreen() {
    Window window("ip1=127.0.0.1\r\n");
    QCOMPARE(window.errors, QStringList());
    VerifyWithinScreen(*window.form);
    QCOMPARE(window.form->frameGeometry(), QRect(100, 102, 1399, 795));
  }

  // A position stored on a screen that is gone: brought back, centred; a stored one on the screen stays,
  // even where it reaches past an edge.
  void storedPositionOffTheScreenComesBack_data() {
    QTest::addColumn<QByteArray>("cfg");
    QTest::addColumn<QRect>("expected");
    QTest::newRow("on a screen that is gone")
        << QByteArray("Left=2500\r\nTop=1400\r\nWidth=800\r\nHeight=600\r\n") << QRect(400, 200, 800, 600);
    QTest::newRow("larger, above the screen")
        << QByteArray("Left=0\r\nTop=-3000\r\nWidth=1920\r\nHeight=1080\r\n") << QRect(0, 0, 1600, 1000);
    QTest::newRow("on the screen") << QByteArray("Left=700\r\nTop=300\r\nWidth=1000\r\nHeight=600\r\n")
                                   << QRect(700, 300, 1000, 600);
  }
  void storedPositionOffTheScreenComesBack() {
    QFETCH(QByteArray, cfg);
    QFETCH(QRect, expected);
    Window window(cfg);
    QCOMPARE(window.errors, QStringList());
    QVERIFY(QTest::qWaitForWindowExposed(window.form.get()));
    QCOMPARE(window.form->frameGeometry(), expected);
  }
};

// The offscreen platform takes its screens from a configuration file named on the platform's name.
int main(int argc, char** argv) {
  QTemporaryDir configFolder;
  const QString config = configFolder.filePath(QStringLiteral("screens.json"));
  QFile file(config);
  if (!file.open(QIODevice::WriteOnly) ||
      file.write(R"({"screens": [{"name": "laptop", "x": 0, "y": 0, "width": 1600, "height": 1000,
                    "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})") < 0) {
    return 1;
  }
  file.close();
  qputenv("QT_QPA_PLATFORM", QFile::encodeName(QStringLiteral("offscreen:configfile=") + config));
  QApplication application(argc, argv);
  ScreenPlacementWindowTest test;
  QTEST_SET_MAIN_SOURCE_PATH
  return QTest::qExec(&test, argc, argv);
}

#include "ScreenPlacementWindowTest.moc"
