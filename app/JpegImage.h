#pragma once

#include <QByteArray>
#include <QImage>

// Decodes one in-memory JPEG stream into an RGB image with libjpeg. A broken stream gives a null image.
QImage DecodeJpeg(const QByteArray& jpeg);
