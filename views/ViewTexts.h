#pragma once

#include <QByteArray>

// The views keep their Hungarian texts as UTF-8 literals in their tables. This gives a literal's
// Windows-1250 bytes, converted on its first use and kept for the rest of the run.
const QByteArray& Win1250Text(const char* utf8Literal);
