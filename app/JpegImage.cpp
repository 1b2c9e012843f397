#include "JpegImage.h"

QImage DecodeJpeg(const QByteArray& jpeg) {
  return QImage::fromData(jpeg, "JPG");
}
