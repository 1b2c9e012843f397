#pragma once

#include <QString>

#include "core/SharedState.h"

// cfg.ini as a first start writes it: every key the program reads, with the value the window has without
// the key (UDP port, the memory address, the axis positions and their step), and the decimal separator
// of the user's regional settings. No device address: the user enters those. No window edges and size:
// the first window fits the screen it opens on.
TextLines DefaultSettingsLines(char systemDecimalSeparator);

// The program folder of this start (see PrepareDataFolder). The user's own data folder, which an
// installed program starts with, gets cfg.ini with every default when it has none, so that its first
// start is a clean one; a program folder beside the executable is left as it is.
QString PrepareProgramFolder(const QString& executableFolder, const QString& appDataLocation,
                             char systemDecimalSeparator);
