#include "core/TextLines.h"

#include "core/BoundedFile.h"
#include "core/OutputFile.h"

#include <QFileInfo>
#include <algorithm>
#include <atomic>
#include <cstring>

#include "core/ValdError.h"

namespace {

[[noreturn]] void ThrowIndex(int index) {
  throw ValdError(QStringLiteral("List index out of bounds (%1)").arg(index));
}

std::atomic<uint64_t> LastRevision{0};

}  // namespace

void TextLines::Changed() {
  revision_ = ++LastRevision;
}

const QByteArray& TextLines::Get(int index) const {
  if (index < 0 || index >= lines_.size()) ThrowIndex(index);
  return lines_[index];
}

void TextLines::Put(int index, const QByteArray& line) {
  if (index < 0 || index >= lines_.size()) ThrowIndex(index);
  lines_[index] = line;
  Changed();
}

void TextLines::Insert(int index, const QByteArray& line) {
  if (index < 0 || index > lines_.size()) ThrowIndex(index);
  lines_.insert(index, line);
  Changed();
}

void TextLines::Delete(int index) {
  if (index < 0 || index >= lines_.size()) ThrowIndex(index);
  lines_.removeAt(index);
  Changed();
}

QByteArray TextLines::Text() const {
  qsizetype size = 0;
  for (const QByteArray& line : lines_) size += line.size() + 2;
  QByteArray text;
  text.reserve(size);
  for (const QByteArray& line : lines_) {
    text.append(line);
    text.append("\r\n", 2);
  }
  return text;
}

void TextLines::SetText(const QByteArray& text) {
  SplitLines(text.constData(), text.constData() + qstrnlen(text.constData(), size_t(text.size())));
}

void TextLines::SetWholeText(const QByteArray& text) {
  SplitLines(text.constData(), text.constData() + text.size());
}

void TextLines::SplitLines(const char* p, const char* const end) {
  lines_.clear();
  Changed();
  // The next CR and the next LF, each searched for again once passed.
  const auto next = [end](const char* from, char c) {
    const void* found = memchr(from, c, size_t(end - from));
    return found ? static_cast<const char*>(found) : end;
  };
  const char* cr = next(p, '\r');
  const char* lf = next(p, '\n');
  while (p < end) {
    if (cr < p) cr = next(p, '\r');
    if (lf < p) lf = next(p, '\n');
    const char* lineEnd = std::min(cr, lf);
    lines_.append(QByteArray(p, lineEnd - p));
    p = lineEnd;
    if (p < end && *p == '\r') {
      ++p;
      if (p < end && *p == '\n') ++p;
    } else if (p < end) {
      ++p;
    }
  }
}

void TextLines::LoadFromFile(const QString& path, qint64 maxBytes) {
  SetText(ReadTextFile(path, maxBytes));
}

void TextLines::SaveToFile(const QString& path) const {
  WriteWholeFile(path, Text());
}

void WriteWholeFile(const QString& path, const QByteArray& content) {
  if (QFileInfo(path).isDir()) {
    throw ValdError(QStringLiteral("Cannot create file \"%1\". It is a folder.").arg(path));
  }
  // Unbuffered, so that a write the system takes only in part (a full disk, a size limit) fails right
  // there with its reason; the old file is replaced only by a complete new one.
  OutputFile file(path);
  if (!file.Open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
    throw ValdError(QStringLiteral("Cannot create file \"%1\". %2").arg(path, file.ErrorString()));
  }
  const auto fail = [&] {
    const QString reason = file.ErrorString();
    file.Cancel();
    throw ValdError(QStringLiteral("Cannot write file \"%1\". %2").arg(path, reason));
  };
  for (qsizetype written = 0; written < content.size();) {
    const qint64 count = file.Device().write(content.constData() + written, content.size() - written);
    if (count <= 0) fail();
    written += count;
  }
  if (!file.Commit()) fail();
}
