#pragma once

#include <QByteArray>
#include <QList>

#include "views/Colours.h"

// A run of text in one colour. Texts are Windows-1250 bytes.
struct TextRun {
  QByteArray text;
  Rgb colour = Colour::Black;
  bool operator==(const TextRun&) const = default;
};

// A rich-text box: lines of coloured runs, with an insertion point at the end.
class RichText {
 public:
  void Clear() {
    lines_.clear();
    colour_ = Colour::Black;
  }
  // Colour of the text inserted next.
  void SetColour(Rgb colour) { colour_ = colour; }
  // Inserts text at the insertion point, on the last line.
  void Insert(const QByteArray& text) {
    if (lines_.isEmpty()) lines_.append(QList<TextRun>{});
    lines_.last().append(TextRun{text, colour_});
  }
  // Appends a whole line in the current colour; an empty text appends an empty line.
  void AppendLine(const QByteArray& text) {
    lines_.append(text.isEmpty() ? QList<TextRun>{} : QList<TextRun>{TextRun{text, colour_}});
  }

  const QList<QList<TextRun>>& Lines() const { return lines_; }
  // The plain text of one line, or of all lines joined by LF.
  QByteArray LineText(int index) const {
    QByteArray text;
    for (const TextRun& run : lines_.value(index)) text += run.text;
    return text;
  }
  QByteArray PlainText() const {
    QByteArray text;
    for (int i = 0; i < lines_.size(); ++i) text += (i ? "\n" : "") + LineText(i);
    return text;
  }
  bool operator==(const RichText&) const = default;

 private:
  QList<QList<TextRun>> lines_;
  Rgb colour_ = Colour::Black;
};
