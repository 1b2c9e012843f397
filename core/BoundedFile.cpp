#include "core/BoundedFile.h"

#include <QFileInfo>
#include <cstring>

#include "core/ValdError.h"

namespace {

constexpr qint64 PieceBytes = 64 * 1024;

}  // namespace

BoundedFile::BoundedFile(const QString& path, qint64 maxBytes)
    : path_(path), maxBytes_(maxBytes), file_(path) {
  const QFileInfo info(path);
  if (info.isDir()) throw ValdError(QStringLiteral("Cannot open file \"%1\". It is a folder.").arg(path));
  if (!file_.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
    throw ValdError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, file_.errorString()));
  }
  if (info.isFile() && file_.size() > maxBytes_) ThrowTooLarge();
}

QByteArray BoundedFile::NextPiece() {
  // One byte past the most a file may hold tells a file at the limit from a larger one.
  QByteArray piece(std::min(PieceBytes, maxBytes_ - bytesRead_ + 1), Qt::Uninitialized);
  const qint64 count = file_.read(piece.data(), piece.size());
  if (count < 0)
    throw ValdError(QStringLiteral("Cannot read file \"%1\". %2").arg(path_, file_.errorString()));
  bytesRead_ += count;
  if (bytesRead_ > maxBytes_) ThrowTooLarge();
  piece.truncate(count);
  return piece;
}

void BoundedFile::ThrowTooLarge() const {
  throw ValdError(
      QStringLiteral("Cannot read file \"%1\". It is larger than %2 bytes.").arg(path_).arg(maxBytes_));
}

QByteArray ReadWholeFile(const QString& path, qint64 maxBytes) {
  BoundedFile file(path, maxBytes);
  QByteArray content;
  for (QByteArray piece = file.NextPiece(); !piece.isEmpty(); piece = file.NextPiece()) content.append(piece);
  return content;
}

QByteArray ReadTextFile(const QString& path, qint64 maxBytes) {
  BoundedFile file(path, maxBytes);
  QByteArray text;
  for (QByteArray piece = file.NextPiece(); !piece.isEmpty(); piece = file.NextPiece()) {
    const void* zero = memchr(piece.constData(), '\0', size_t(piece.size()));
    if (zero) {
      text.append(piece.constData(), static_cast<const char*>(zero) - piece.constData());
      break;
    }
    text.append(piece);
  }
  return text;
}
