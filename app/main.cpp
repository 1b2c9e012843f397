#include <QApplication>
#include <QLocale>
#include <QScreen>
#include <QStandardPaths>
#include <csignal>
#include <cstdio>

#include "ApplicationName.h"
#include "ScreenAreas.h"
#include "StartupReading.h"
#include "TForm1.h"
#include "WindowCommandLine.h"
#include "archive/ArchiveLocation.h"
#include "core/Environment.h"
#include "core/RuntimeFolder.h"
#include "operations/FirstStart.h"
#include "settings/LanguageSetting.h"
#include "translations/Translation.h"

namespace {

QStringList ArgumentList(int argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  return arguments;
}

}  // namespace

// Start-up in the fixed order: the command line, the application object, the program folder (see
// settings/FirstStart.h), the window's language, the main window (its creation step reads cfg.ini) shown;
// then the event loop until the main window closes. The fonts and image formats the window needs are read
// meanwhile on another core (StartupReading.h); the About window and the settings editor are made when a
// menu item first asks for them.
int main(int argc, char** argv) {
  const WindowCommandLine commandLine = ParseWindowCommandLine(ArgumentList(argc, argv));
  if (!commandLine.error.isEmpty()) {
    std::fprintf(stderr, "%s\n\n%s", qPrintable(commandLine.error), qPrintable(WindowUsage()));
    return 2;
  }
  if (commandLine.helpRequested) {
    std::fputs(qPrintable(WindowUsage()), stdout);
    return 0;
  }
  if (commandLine.versionRequested) {
    std::printf("vald_csv %s\n", VALD_VERSION);
    return 0;
  }
  // Under a file-size limit a write past it then fails with its reason, which the file writers report
  // with the old file kept, instead of the signal ending the program.
  std::signal(SIGXFSZ, SIG_IGN);
  // Before the font thread starts: it reads the environment that this sets.
  PrepareRuntimeFolder();
  std::jthread fontConfiguration = StartReadingFontConfiguration();
  QApplication application(argc, argv);
  NameApplication();
  const std::jthread fontsAndImageFormats = StartReadingFontsAndImageFormats(std::move(fontConfiguration));

  Environment env;
  const QString separator = QLocale::system().decimalPoint();
  env.systemDecimalSeparator =
      separator.size() == 1 && separator[0].unicode() < 0x80 ? char(separator[0].unicode()) : '.';
  env.screenSize = QGuiApplication::primaryScreen()->size();
  env.availableScreens = AvailableScreenAreas();
  const QString executableFolder = QCoreApplication::applicationDirPath();
  env.programFolder = PrepareProgramFolder(executableFolder,
                                           QStandardPaths::writableLocation(QStandardPaths::AppDataLocation),
                                           env.systemDecimalSeparator);
  env.archive = QString::fromLatin1(DefaultArchiveFileName);
  const QString notTranslated = InstallTranslation(
      application, commandLine.language.isNull() ? LanguageSetting(env.programFolder) : commandLine.language);
  if (!notTranslated.isEmpty()) std::fprintf(stderr, "vald_csv: %s\n", qPrintable(notTranslated));

  TForm1 form1(env);
  form1.show();
  return QApplication::exec();
}
