#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <cstdint>

// Reads an integer setting or input field: signed decimal, leading blanks skipped, a leading "$" marks
// hexadecimal. Anything else (empty text, trailing characters, out of the 32-bit range) throws
// ValdError "'<text>' is not a valid integer value".
int32_t ParseInteger(QByteArrayView text);
