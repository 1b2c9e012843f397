// vald_screenshot: opens the main window over a scratch program folder, optionally reads one device
// with the first "Lekérdezés" button, shows a chosen page and saves a picture of the window.
#include <QApplication>
#include <QCommandLineParser>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "TForm1.h"
#include "ui_TForm1.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("Saves a picture of the VALD CSV main window."));
  parser.addHelpOption();
  parser.addOption({QStringLiteral("out"), QStringLiteral("PNG file to write."), QStringLiteral("FILE")});
  parser.addOption({QStringLiteral("host"), QStringLiteral("Device to read with the first query button."),
                    QStringLiteral("ADDRESS")});
  parser.addOption({QStringLiteral("port"), QStringLiteral("UDP port of the device (default 6262)."),
                    QStringLiteral("N"), QStringLiteral("6262")});
  parser.addOption({QStringLiteral("page"), QStringLiteral("Page to show, 0 to 5 (default 0)."),
                    QStringLiteral("N"), QStringLiteral("0")});
  parser.addOption({QStringLiteral("setting"),
                    QStringLiteral("A further cfg.ini line KEY=VALUE (repeatable)."),
                    QStringLiteral("LINE")});
  parser.process(application);
  if (!parser.isSet(QStringLiteral("out"))) parser.showHelp(2);

  QTemporaryDir programFolder;
  // The first line of a key counts: the extra settings come first and win over the defaults below.
  QByteArray cfg;
  for (const QString& line : parser.values(QStringLiteral("setting"))) cfg += line.toLatin1() + "\r\n";
  cfg += "UDPport=" + parser.value(QStringLiteral("port")).toLatin1() +
         "\r\nLeft=0\r\nTop=0\r\nWidth=1399\r\n" +
         "Height=795\r\nip1=" + parser.value(QStringLiteral("host")).toLatin1() +
         "\r\nDecimalSeparator=.\r\nTop1=30\r\nBottom1=10\r\nTop2=80\r\nBottom2=20\r\n"
         "Top3=1600\r\nBottom3=300\r\nTop4=600\r\nBottom4=0\r\n";
  QFile file(programFolder.filePath(QStringLiteral("cfg.ini")));
  if (!file.open(QIODevice::WriteOnly) || file.write(cfg) != cfg.size()) return 1;
  file.close();

  Environment env;
  env.programFolder = programFolder.path();
  env.screenSize = QGuiApplication::primaryScreen()->size();
  Form1Dialogs dialogs = Form1Dialogs::Real();
  dialogs.showError = [](QWidget*, const QString& text) { std::fprintf(stderr, "%s\n", qPrintable(text)); };
  dialogs.showWarning = dialogs.showError;
  TForm1 form(env, dialogs);
  form.show();
  form.Controls().PageControl1->setCurrentIndex(parser.value(QStringLiteral("page")).toInt());
  const auto shoot = [&] {
    QTimer::singleShot(500, &form, [&] {
      form.grab().save(parser.value(QStringLiteral("out")));
      QApplication::quit();
    });
  };
  if (parser.isSet(QStringLiteral("host"))) {
    QObject::connect(&form, &TForm1::ReadoutFinished, &form, shoot);
    form.QueryButtonClick(0);
  } else {
    shoot();
  }
  return QApplication::exec();
}
