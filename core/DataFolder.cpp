#include "core/DataFolder.h"

#include <QDir>
#include <QTemporaryFile>

QString ChooseDataFolder(const QString& executableFolder, bool executableFolderWritable,
                         const QString& appDataLocation) {
  // Without a known home the executable's folder is the only place left; its write errors then reach
  // the user as they would in portable use.
  if (executableFolderWritable || appDataLocation.isEmpty()) return executableFolder;
  return appDataLocation;
}

bool FolderAcceptsFiles(const QString& folder) {
  if (folder.isEmpty()) return false;
  QTemporaryFile probe(folder + QStringLiteral("/.vald_probe_XXXXXX"));
  return probe.open();
}

QString PrepareDataFolder(const QString& executableFolder, const QString& appDataLocation) {
  const QString folder =
      ChooseDataFolder(executableFolder, FolderAcceptsFiles(executableFolder), appDataLocation);
  if (folder != executableFolder) QDir().mkpath(folder);
  return folder;
}
