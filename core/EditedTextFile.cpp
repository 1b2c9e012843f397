#include "core/EditedTextFile.h"

namespace {

constexpr char Utf8ByteOrderMark[] = "\xEF\xBB\xBF";

}  // namespace

TextLines EditedFileLines(const QByteArray& content) {
  TextLines lines;
  lines.SetWholeText(content.startsWith(Utf8ByteOrderMark) ? content.sliced(3) : content);
  return lines;
}

void CheckEditedLines(const TextLines& lines, const QString& fileName) {
  for (int i = 0; i < lines.Count(); ++i) {
    const QByteArray& line = lines.Get(i);
    if (line.contains('\0')) throw FileLineError(fileName, i, QStringLiteral("the line holds a NUL byte"));
    if (line.size() > MaxEditedLineBytes) {
      throw FileLineError(
          fileName, i,
          QStringLiteral("the line is %1 bytes long, more than %2").arg(line.size()).arg(MaxEditedLineBytes));
    }
  }
}

ValdError FileLineError(const QString& fileName, int lineIndex, const QString& reason) {
  return ValdError(QStringLiteral("%1 line %2: %3").arg(fileName).arg(lineIndex + 1).arg(reason));
}
