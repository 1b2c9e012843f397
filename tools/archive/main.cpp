// vald_archive: lists, exports, imports, checks, mends and decodes again what the measurement archive holds.

#include <QCoreApplication>
#include <QGuiApplication>
#include <algorithm>
#include <memory>

#include "ArchiveCommandLine.h"
#include "core/RuntimeFolder.h"
#include "core/StandardOutput.h"
#include "core/UsageError.h"
#include "core/ValdError.h"
#include "translations/Translation.h"

int main(int argc, char** argv) {
  // The report draws text, for which Qt needs its GUI application: on the offscreen platform unless
  // another is asked for, as no screen is needed.
  const bool drawing =
      std::any_of(argv + 1, argv + argc, [](const char* arg) { return qstrcmp(arg, "report") == 0; });
  if (drawing && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  if (drawing) PrepareRuntimeFolder();
  const std::unique_ptr<QCoreApplication> application = drawing
                                                            ? std::make_unique<QGuiApplication>(argc, argv)
                                                            : std::make_unique<QCoreApplication>(argc, argv);
  QCoreApplication& app = *application;
  InstallEnglish(app);
  QTextStream out(stdout);
  QTextStream err(stderr);
  const ArchiveCommandLine commandLine = ParseArchiveCommandLine(app.arguments());
  if (commandLine.helpRequested) {
    out << ArchiveUsage();
    return ExitSuccess;
  }
  if (commandLine.versionRequested) {
    out << "vald_archive " << VALD_VERSION << Qt::endl;
    return ExitSuccess;
  }
  if (!commandLine.command) {
    err << UsageErrorLine(QStringLiteral("vald_archive"), commandLine.error) << Qt::endl;
    return ExitUsage;
  }
  try {
    const int status = RunArchiveCommand(commandLine.location, *commandLine.command, out, err);
    if (!StandardOutputComplete(out)) {
      err << "Cannot write to standard output.\n";
      return ExitFailure;
    }
    return status;
  } catch (const ValdError& error) {
    out.flush();
    err << error.Message() << '\n';
    return ExitFailure;
  }
}
