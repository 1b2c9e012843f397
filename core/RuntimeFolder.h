#pragma once

#include <QString>

// A graphical Qt application looks into the user's runtime folder (XDG_RUNTIME_DIR) as it starts; where
// none is set, as under cron, a system service, su or a bare container, Qt makes one itself and warns
// about it on standard error. Called before the application object is made, this gives such a run a
// private runtime folder of its own instead, silently: `runtime-<uid>` in the temporary folder, mode
// 0700 and owned by the user, as the XDG rules ask. Returns the folder in XDG_RUNTIME_DIR afterwards,
// empty when none could be made (Qt then falls back as before).
QString PrepareRuntimeFolder();
