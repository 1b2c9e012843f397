#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

#include "archive/ArchiveStore.h"

// What the command line of vald_archive asks for.
struct ArchiveCommand {
  QString name;  // list, export, import, redecode
  QStringList arguments;
  QString device;
  QString from;
  QString to;
  QString out;
};

inline constexpr int ExitSuccess = 0;
inline constexpr int ExitFailure = 1;
inline constexpr int ExitUsage = 2;

// Runs one command on `store`; results go to `out`, problems to `err`. Returns the exit status.
int RunArchiveCommand(ArchiveStore& store, const ArchiveCommand& command, QTextStream& out, QTextStream& err);
