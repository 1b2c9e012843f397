#include "operations/FirstStart.h"

#include <QFileInfo>

#include "core/DataFolder.h"
#include "core/ValdError.h"
#include "link/DeviceLink.h"
#include "operations/SettingsApplication.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"

TextLines DefaultSettingsLines(char systemDecimalSeparator) {
  // The values are what a fresh window holds, stored by the same steps that save them later. The window's
  // place and size are left out: the first window fits the screen it opens on, and closing it stores
  // where the user left it.
  SharedState state;
  const WindowModel view;
  WriteSetting(state.SettingsLines, "UDPport", QByteArray::number(DeviceLink::DefaultPort));
  WriteSetting(state.SettingsLines, "DecimalSeparator", QByteArray(1, systemDecimalSeparator));
  StoreTimerSettings(state, view);
  return state.SettingsLines;
}

QString PrepareProgramFolder(const QString& executableFolder, const QString& appDataLocation,
                             char systemDecimalSeparator) {
  const QString folder = PrepareDataFolder(executableFolder, appDataLocation);
  const QString settingsFile = folder + QLatin1Char('/') + QLatin1String(SettingsFileName);
  if (folder == executableFolder || QFileInfo::exists(settingsFile)) return folder;
  try {
    DefaultSettingsLines(systemDecimalSeparator).SaveToFile(settingsFile);
  } catch (const ValdError&) {
    // A folder that takes no file: the creation step then finds no cfg.ini and says so.
  }
  return folder;
}
