#include "core/LineReader.h"

#include <algorithm>
#include <utility>

#include "core/EditedTextFile.h"

LineReader::LineReader(const QString& path, qint64 maxFileBytes, qsizetype maxLineBytes,
                       ByteOrderMark byteOrderMark)
    : file_(path, maxFileBytes),
      maxLineBytes_(maxLineBytes),
      skipByteOrderMark_(byteOrderMark == ByteOrderMark::Skipped) {}

std::optional<QByteArray> LineReader::Next() {
  qsizetype scanned = position_;  // up to here the buffer holds no line end
  for (;;) {
    // Decided once the start of the file either holds the mark or cannot become it.
    if (skipByteOrderMark_ && !buffer_.isEmpty()) {
      if (buffer_.startsWith(Utf8ByteOrderMark)) {
        position_ = scanned = Utf8ByteOrderMarkBytes;
        skipByteOrderMark_ = false;
      } else if (!QByteArrayView(Utf8ByteOrderMark).startsWith(buffer_)) {
        skipByteOrderMark_ = false;
      }
    }
    if (afterCr_ && position_ < buffer_.size()) {
      if (buffer_[position_] == '\n') scanned = ++position_;
      afterCr_ = false;
    }
    const char* const begin = buffer_.constData();
    const char* const end = begin + buffer_.size();
    const char* const lineEnd =
        std::find_if(begin + scanned, end, [](char c) { return c == '\r' || c == '\n'; });
    if (lineEnd - (begin + position_) > maxLineBytes_)
      throw FileLineError(file_.Path(), lineCount_, LongLineReason(maxLineBytes_));
    if (lineEnd != end) {
      QByteArray line(begin + position_, lineEnd - (begin + position_));
      afterCr_ = *lineEnd == '\r';
      position_ = lineEnd - begin + 1;
      ++lineCount_;
      return line;
    }
    // The line goes on in the next piece.
    buffer_.remove(0, position_);
    position_ = 0;
    scanned = buffer_.size();
    const QByteArray piece = file_.NextPiece();
    if (piece.isEmpty()) break;
    buffer_.append(piece);
  }
  if (buffer_.isEmpty()) return std::nullopt;
  ++lineCount_;
  return std::exchange(buffer_, QByteArray());
}

QString LongLineReason(qsizetype maxLineBytes) {
  return QStringLiteral("the line is longer than %1 bytes").arg(maxLineBytes);
}
