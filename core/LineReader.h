#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

#include "core/BoundedFile.h"

// The mark some editors put at the start of a UTF-8 file.
inline constexpr char Utf8ByteOrderMark[] = "\xEF\xBB\xBF";
inline constexpr qsizetype Utf8ByteOrderMarkBytes = sizeof Utf8ByteOrderMark - 1;

// The lines of a file that the user names, split at CR LF, LF or CR as they are read, a piece at a
// time: no more of the file is held than its longest allowed line and one piece. A zero byte belongs to
// its line; a final line without a line end counts, a final line end adds no empty line.
class LineReader {
 public:
  enum class ByteOrderMark { Kept, Skipped };

  // Throws the errors of BoundedFile. With ByteOrderMark::Skipped the UTF-8 byte-order mark that some
  // editors put at the start of a file is left out of the first line.
  LineReader(const QString& path, qint64 maxFileBytes, qsizetype maxLineBytes,
             ByteOrderMark byteOrderMark = ByteOrderMark::Kept);

  // The next line without its line end, nothing after the last one. Throws ValdError "FILE line N: the
  // line is longer than M bytes" as soon as a line proves longer than `maxLineBytes`, and the errors of
  // BoundedFile::NextPiece.
  std::optional<QByteArray> Next();

  // The lines given so far.
  int LineCount() const { return lineCount_; }

 private:
  BoundedFile file_;
  qsizetype maxLineBytes_;
  bool skipByteOrderMark_;
  QByteArray buffer_;  // the bytes read and not given yet start at position_
  qsizetype position_ = 0;
  bool afterCr_ = false;  // the last line ended at a CR, which an LF right after it belongs to
  int lineCount_ = 0;
};

// Why a line longer than `maxLineBytes` is refused, for FileLineError.
QString LongLineReason(qsizetype maxLineBytes);
