#include <QApplication>
#include <QLocale>
#include <QScreen>
#include <QStandardPaths>
#include <csignal>

#include "ApplicationName.h"
#include "TF_Nev.h"
#include "TForm1.h"
#include "TForm3.h"
#include "archive/ArchiveLocation.h"
#include "core/DataFolder.h"
#include "core/Environment.h"

// Start-up in the fixed order: the application object, the program folder (see core/DataFolder.h), the
// main window (its creation step reads cfg.ini), the About window, the settings editor; then the event
// loop until the main window closes.
int main(int argc, char** argv) {
  // Under a file-size limit a write past it then fails with its reason, which the file writers report
  // with the old file kept, instead of the signal ending the program.
  std::signal(SIGXFSZ, SIG_IGN);
  QApplication application(argc, argv);
  NameApplication();

  Environment env;
  const QString separator = QLocale::system().decimalPoint();
  env.systemDecimalSeparator =
      separator.size() == 1 && separator[0].unicode() < 0x80 ? char(separator[0].unicode()) : '.';
  env.screenSize = QGuiApplication::primaryScreen()->size();
  env.programFolder = PrepareDataFolder(QCoreApplication::applicationDirPath(),
                                        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
  env.archive = QString::fromLatin1(DefaultArchiveFileName);

  TForm1 form1(env);
  TF_Nev fNev(form1.windowTitle(), &form1);
  TForm3 form3([&form1](const QByteArray& text) { form1.SaveSettingsFromEditor(text); }, &form1);
  form1.AttachWindows(&fNev, &form3);
  form1.show();
  return QApplication::exec();
}
