#pragma once

#include <QByteArray>
#include <QString>

#include "core/TextLines.h"
#include "core/ValdError.h"

// Text files that people write with an editor: cfg.ini, the hosts files of vald_read and the limits.

// The longest line such a file may hold, line end not counted.
inline constexpr int MaxEditedLineBytes = 1024;
// The largest such a file may be: a hosts file of half a million devices, or as many limits.
inline constexpr qint64 MaxEditedFileBytes = 16 * 1024 * 1024;

// The lines of the file's content, split at CR LF, LF or CR, without the UTF-8 byte-order mark that
// some editors put at the start. A zero byte does not end the text: its line is kept whole, so that
// CheckEditedLines refuses it and nothing after it is lost.
TextLines EditedFileLines(const QByteArray& content);

// The lines of the edited file at `path`, as EditedFileLines gives them, read a piece at a time: refused
// with ValdError as soon as the file proves larger than MaxEditedFileBytes, a line longer than
// MaxEditedLineBytes or holding a NUL byte, naming the file (and the line).
TextLines ReadEditedFile(const QString& path);

// Throws "FILE line N: reason" for the first line that holds a NUL byte or is longer than
// MaxEditedLineBytes.
void CheckEditedLines(const TextLines& lines, const QString& fileName);

// "FILE line N: reason", N counted from 1 for the line at `lineIndex`.
ValdError FileLineError(const QString& fileName, int lineIndex, const QString& reason);
