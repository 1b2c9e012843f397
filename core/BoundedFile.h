#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// A file that the user names, read a piece at a time and refused as soon as it proves larger than the
// most it may be: an ordinary file by its size, before anything of it is read; a device or a pipe
// (/dev/zero, a FIFO) by what it has given. No such file is ever taken in whole before it is measured.
class BoundedFile {
 public:
  // Throws ValdError "Cannot open file ..." for a folder or a file that cannot be opened, and the
  // error of a file that is too large.
  BoundedFile(const QString& path, qint64 maxBytes);

  // The next piece of the file, empty at its end. Throws ValdError for a read error and as soon as more
  // than `maxBytes` have come.
  QByteArray NextPiece();

  const QString& Path() const { return path_; }

 private:
  [[noreturn]] void ThrowTooLarge() const;

  QString path_;
  qint64 maxBytes_;
  qint64 bytesRead_ = 0;
  QFile file_;
};

// The whole content of the file, at most `maxBytes` of it (see BoundedFile).
QByteArray ReadWholeFile(const QString& path, qint64 maxBytes);

// The file's text up to its first zero byte, which ends a text: nothing after one is read. A file larger
// than `maxBytes` is refused as BoundedFile refuses it, unless a zero byte ended the text before that
// showed.
QByteArray ReadTextFile(const QString& path, qint64 maxBytes);
