#pragma once

// The names the program goes by, whatever its executable is called: "vald_csv" names the user's data
// folder (~/.local/share/vald_csv) and ties the windows to the desktop entry "vald_csv.desktop".
void NameApplication();
