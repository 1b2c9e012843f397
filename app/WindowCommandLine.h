#pragma once

#include <QString>
#include <QStringList>

// What vald_csv's command line asks for. It is read before the application object exists, so that
// --help and --version answer without a display; the options of Qt itself (-platform, -style, ...) are
// left to the application object.
struct WindowCommandLine {
  bool helpRequested = false;
  bool versionRequested = false;
  QString language;  // --lang CODE; null when not given (cfg.ini's Language decides)
  QString error;     // why the command line is unusable, empty when it is not
};

// `arguments` includes the program name first.
WindowCommandLine ParseWindowCommandLine(const QStringList& arguments);

QString WindowUsage();
