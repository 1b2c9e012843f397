#pragma once

#include <QByteArray>
#include <QString>

#include "core/TextLines.h"
#include "core/ValdError.h"

// Text files that people write with an editor: cfg.ini and the hosts files of vald_read.

// The longest line such a file may hold, line end not counted.
inline constexpr int MaxEditedLineBytes = 1024;

// The lines of the file's content, split at CR LF, LF or CR, without the UTF-8 byte-order mark that
// some editors put at the start. A zero byte does not end the text: its line is kept whole, so that
// CheckEditedLines refuses it and nothing after it is lost.
TextLines EditedFileLines(const QByteArray& content);

// Throws "FILE line N: reason" for the first line that holds a NUL byte or is longer than
// MaxEditedLineBytes.
void CheckEditedLines(const TextLines& lines, const QString& fileName);

// "FILE line N: reason", N counted from 1 for the line at `lineIndex`.
ValdError FileLineError(const QString& fileName, int lineIndex, const QString& reason);
