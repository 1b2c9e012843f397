#include "StartupReading.h"

#include <fontconfig/fontconfig.h>

#include <QFontDatabase>
#include <QImageReader>

std::jthread StartReadingFontConfiguration() {
  return std::jthread([] { FcInit(); });
}

std::jthread StartReadingFontsAndImageFormats(std::jthread fontConfiguration) {
  return std::jthread([fontConfiguration = std::move(fontConfiguration)]() mutable {
    fontConfiguration.join();
    // Both are made once per program under their own locks; the window's first text or icon waits there.
    QFontDatabase::families();
    QImageReader::supportedImageFormats();
  });
}
