#include "JpegImage.h"

#include "core/ProgramModule.h"

// Defined when the program links the decoder in (JpegDecoding.cpp); the window loads it from its
// module instead.
extern "C" void ValdDecodeJpeg(const QByteArray& jpeg, QImage& image) __attribute__((weak));

QImage DecodeJpeg(const QByteArray& jpeg) {
  static const auto decode = LinkedOrModuleFunction(ValdDecodeJpeg, "vald-jpeg", "ValdDecodeJpeg");
  QImage image;
  decode(jpeg, image);
  return image;
}
