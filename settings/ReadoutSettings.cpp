#include "settings/ReadoutSettings.h"

#include <QDir>

#include "core/Win1250.h"
#include "settings/SettingsFile.h"
#include "watch/LimitRules.h"

ReadoutSettings ReadReadoutSettings(const TextLines& settings, const Environment& env) {
  ReadoutSettings read;
  const std::optional<QByteArray> archive = ReadSetting(settings, "Archive");
  read.archive = archive ? FromWin1250(*archive) : env.archive;
  const std::optional<QByteArray> zone = ReadSetting(settings, "TimeZone");
  read.timeZone = zone ? FromWin1250(*zone).trimmed() : QString();
  const std::optional<QByteArray> limits = ReadSetting(settings, "Limits");
  const QString name = limits && !limits->trimmed().isEmpty() ? FromWin1250(limits->trimmed())
                                                              : QString::fromLatin1(LimitsFileName);
  read.limitsFile = QDir::isAbsolutePath(name) ? name : env.ProgramFile(name);
  return read;
}

Environment WithReadoutSettings(Environment env, const ReadoutSettings& settings) {
  env.archive = settings.archive;
  env.timeZone = settings.timeZone;
  return env;
}
