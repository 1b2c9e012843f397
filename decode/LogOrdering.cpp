#include "decode/LogOrdering.h"

namespace {

// Bytes of the kind letter and its ";" at the start of every decoded record.
constexpr int KindPrefixLength = 2;

char KindOf(const QByteArray& line) {
  return line.isEmpty() ? '\0' : line[0];
}

}  // namespace

TextLines OrderLogLines(const TextLines& decodedLines) {
  TextLines ordered;
  for (const QByteArray& line : decodedLines.Lines()) {
    const char kind = KindOf(line);
    if (kind == 'f') {
      ordered.Clear();
      break;
    }
    if (kind == 'e') break;
    if (kind == 'b') ordered.Add(line.mid(KindPrefixLength));
  }
  for (const QByteArray& line : decodedLines.Lines()) {
    const char kind = KindOf(line);
    if (kind == 'f' || kind == 'e') break;
    if (kind == 'a') ordered.Add(line.mid(KindPrefixLength));
  }
  return ordered;
}

void SortDecodedRecords(SharedState& state) {
  state.DecodedLines.SetText(state.OutputText + "\r\n");
  state.LogLines = OrderLogLines(state.DecodedLines);
}
