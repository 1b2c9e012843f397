#include "support/LargeFiles.h"

#include <QFile>
#include <algorithm>
#include <stdexcept>

QString WriteZerosAfter(const TempFolder& folder, const QString& name, const QByteArray& start, qint64 size) {
  folder.Write(name, start);
  if (!QFile(folder.File(name)).resize(size)) throw std::runtime_error("cannot resize test file");
  return folder.File(name);
}

QByteArray CommentsUpTo(const QByteArray& start, qint64 size) {
  constexpr qsizetype LongestLine = 1024;
  QByteArray content = start;
  content.reserve(size);
  while (content.size() < size) {
    const qsizetype line = std::min<qsizetype>(LongestLine, size - content.size() - 1);
    content += (line > 0 ? '#' + QByteArray(line - 1, 'x') : QByteArray()) + '\n';
  }
  return content;
}
