#pragma once

#include <QString>

#include "core/Environment.h"
#include "core/TextLines.h"

// What the window's readouts, exports and limit checks take from cfg.ini, read in one place.
struct ReadoutSettings {
  QString archive;     // the Archive key, else the program's default archive (env.archive)
  QString timeZone;    // the TimeZone key (an IANA name such as Europe/Budapest), empty when not there
  QString limitsFile;  // the Limits key (relative to the program folder), else limits.csv there
};

ReadoutSettings ReadReadoutSettings(const TextLines& settings, const Environment& env);

// `env` with the archive and the time zone of `settings`.
Environment WithReadoutSettings(Environment env, const ReadoutSettings& settings);
