#pragma once

#include <thread>

// What the main window needs from the system before it first shows, independent of the window, is read
// on another core while the main thread makes the application object and the window: fontconfig's
// configuration and font list, the font database made from them, and the image format plugins (the menu
// bar's and the window's icons). The window then finds them read instead of reading them itself on its way
// to the screen; should it need them sooner, it waits for them or reads them as before. Each thread ends
// by itself.

// Starts reading fontconfig's configuration, before the application object is made.
std::jthread StartReadingFontConfiguration();

// Once the application object exists: starts making the font database, after `fontConfiguration` has
// been read, and loading the image format plugins.
std::jthread StartReadingFontsAndImageFormats(std::jthread fontConfiguration);
