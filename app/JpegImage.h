#pragma once

#include <QByteArray>
#include <QImage>

// Decodes one in-memory JPEG stream into an image with Qt's JPEG reader. A broken stream gives a null
// image.
QImage DecodeJpeg(const QByteArray& jpeg);
