#include "RichTextView.h"

#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextEdit>

#include "core/Win1250.h"

void ShowRichText(QTextEdit* box, const RichText& text, Qt::Alignment alignment) {
  box->clear();
  QTextCursor cursor(box->document());
  QTextBlockFormat block;
  block.setAlignment(alignment);
  cursor.setBlockFormat(block);
  for (int i = 0; i < text.Lines().size(); ++i) {
    if (i > 0) cursor.insertBlock(block);
    for (const TextRun& run : text.Lines()[i]) {
      QTextCharFormat format;
      format.setForeground(QColor::fromRgb(run.colour));
      cursor.insertText(FromWin1250(run.text), format);
    }
  }
}
