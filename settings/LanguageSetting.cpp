#include "settings/LanguageSetting.h"

#include <QFileInfo>

#include "core/EditedTextFile.h"
#include "core/TextLines.h"
#include "core/ValdError.h"
#include "core/Win1250.h"
#include "settings/SettingsFile.h"

QString LanguageSetting(const QString& programFolder) {
  const QString path = programFolder + QLatin1Char('/') + QLatin1String(SettingsFileName);
  if (!QFileInfo::exists(path)) return {};
  TextLines settings;
  try {
    settings.LoadFromFile(path, MaxEditedFileBytes);
  } catch (const ValdError&) {
    // The creation step reads the file again and reports why it cannot.
    return {};
  }
  const std::optional<QByteArray> language = ReadSetting(settings, "Language");
  return language ? FromWin1250(*language).trimmed() : QString();
}
