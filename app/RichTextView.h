#pragma once

#include "views/RichText.h"

class QTextEdit;

// Shows a rich-text model in a text box: one paragraph per line, each run in its colour.
void ShowRichText(QTextEdit* box, const RichText& text, Qt::Alignment alignment);
