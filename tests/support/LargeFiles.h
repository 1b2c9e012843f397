#pragma once

#include <QByteArray>
#include <QString>

#include "support/TempFolder.h"

// Files at and beyond the size limits of the files a user names.

// Writes the file `name`: `start`, then zero bytes without a line end up to `size` bytes, taking no room
// on disk. Returns its path.
QString WriteZerosAfter(const TempFolder& folder, const QString& name, const QByteArray& start, qint64 size);

// `start`, then comment lines ("#xxx...") of at most 1024 bytes, `size` bytes in all.
QByteArray CommentsUpTo(const QByteArray& start, qint64 size);
