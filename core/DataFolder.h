#pragma once

#include <QString>

// Where the program keeps cfg.ini, sales.csv, the marker file and the measurement files. A copy in a
// folder of its own keeps them beside the executable (portable use); an installed copy, whose folder
// (e.g. /usr/bin) takes no files, keeps them in the user's own data folder.
QString ChooseDataFolder(const QString& executableFolder, bool executableFolderWritable,
                         const QString& appDataLocation);

// Whether a new file can really be created in `folder`. The permission bits alone do not tell: they do
// not stop root, and a read-only mount refuses everyone.
bool FolderAcceptsFiles(const QString& folder);

// The data folder for this start, created when it is the user's folder and does not exist yet.
QString PrepareDataFolder(const QString& executableFolder, const QString& appDataLocation);
