#include "WindowCommandLine.h"

WindowCommandLine ParseWindowCommandLine(const QStringList& arguments) {
  WindowCommandLine commandLine;
  const QString languageOption = QStringLiteral("--lang");
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    const QString& argument = arguments[i];
    if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
      commandLine.helpRequested = true;
    } else if (argument == QLatin1String("--version")) {
      commandLine.versionRequested = true;
    } else if (argument == languageOption) {
      if (i + 1 == arguments.size() || arguments[i + 1].isEmpty()) {
        commandLine.error = QStringLiteral("--lang needs a language: en or hu.");
        return commandLine;
      }
      commandLine.language = arguments[++i];
    } else if (argument.startsWith(languageOption + QLatin1Char('='))) {
      commandLine.language = argument.mid(languageOption.size() + 1);
    }
  }
  return commandLine;
}

QString WindowUsage() {
  return QStringLiteral(
      "Usage: vald_csv [--lang en|hu] [Qt options]\n"
      "\n"
      "Opens the VALD CSV window: reads the logs of networked measuring devices, charts them and saves\n"
      "them as measurement files.\n"
      "\n"
      "Options:\n"
      "  --lang en|hu    the window's language for this start (default: cfg.ini's Language key, else\n"
      "                  Hungarian)\n"
      "  --help          show this text\n"
      "  --version       show the version\n"
      "\n"
      "cfg.ini, sales.csv, Tool7.dev and the measurement files live beside the program when a file can\n"
      "be created there, else in the user's data folder (~/.local/share/vald_csv/).\n");
}
