#pragma once

#include <QByteArray>

// The views keep their fixed texts as UTF-8 literals in their tables, those a translation may change
// marked with QT_TRANSLATE_NOOP("WindowModel", ...). The window model holds Windows-1250 bytes.

// A literal that no translation touches (a unit), converted on its first use and kept for the run.
const QByteArray& Win1250Text(const char* utf8Literal);

// A fixed text of the window (a caption, strip header, summary heading, legend line) in the installed
// translation's language.
QByteArray WindowText(const char* utf8Source);
