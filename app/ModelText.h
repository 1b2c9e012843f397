#pragma once

#include <QByteArray>
#include <QString>

// A text of the window model as the window shows it: its Windows-1250 bytes in Unicode and, for one of
// the fixed texts the views write (page captions, strip headers, summary headings and legends, the
// device name label, the scale box), in the window's language. Numbers, device type names and log lines
// are shown as they are.
QString ShownText(const QByteArray& modelText);
