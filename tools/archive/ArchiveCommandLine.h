#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "ArchiveCommands.h"
#include "archive/ArchiveLocation.h"

// What the command line of vald_archive asks for, read and checked whole before the archive is opened:
// a command line that cannot be used changes nothing and makes no archive.
struct ArchiveCommandLine {
  std::optional<ArchiveCommand> command;  // set: the command, its every value usable
  ArchiveLocation location;               // the archive it works on
  QString error;                          // else what is wrong with the command line, one sentence
  bool helpRequested = false;
  bool versionRequested = false;
};

// `arguments` as QCoreApplication::arguments() gives them, the program first.
ArchiveCommandLine ParseArchiveCommandLine(const QStringList& arguments);

// The text of --help.
QString ArchiveUsage();
