#include "core/EditedTextFile.h"

#include "core/LineReader.h"

TextLines EditedFileLines(const QByteArray& content) {
  TextLines lines;
  lines.SetWholeText(content.startsWith(Utf8ByteOrderMark) ? content.sliced(Utf8ByteOrderMarkBytes)
                                                           : content);
  return lines;
}

namespace {

void CheckNoNul(const QByteArray& line, const QString& fileName, int lineIndex) {
  if (line.contains('\0'))
    throw FileLineError(fileName, lineIndex, QStringLiteral("the line holds a NUL byte"));
}

}  // namespace

TextLines ReadEditedFile(const QString& path) {
  LineReader reader(path, MaxEditedFileBytes, MaxEditedLineBytes, LineReader::ByteOrderMark::Skipped);
  TextLines lines;
  while (std::optional<QByteArray> line = reader.Next()) {
    CheckNoNul(*line, path, lines.Count());
    lines.Add(*line);
  }
  return lines;
}

void CheckEditedLines(const TextLines& lines, const QString& fileName) {
  for (int i = 0; i < lines.Count(); ++i) {
    const QByteArray& line = lines.Get(i);
    CheckNoNul(line, fileName, i);
    if (line.size() > MaxEditedLineBytes)
      throw FileLineError(fileName, i, LongLineReason(MaxEditedLineBytes));
  }
}

ValdError FileLineError(const QString& fileName, int lineIndex, const QString& reason) {
  return ValdError(QStringLiteral("%1 line %2: %3").arg(fileName).arg(lineIndex + 1).arg(reason));
}
