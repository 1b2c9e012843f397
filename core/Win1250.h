#pragma once

#include <QByteArray>
#include <QString>

// All texts of the device protocol and of the program's files are single-byte Windows-1250.
// These are the only two places where bytes become Unicode and back. The five byte values that the
// code page leaves undefined map to the C1 control code points of the same number, so every byte
// survives a round trip.
QString FromWin1250(const QByteArray& bytes);

// Characters outside the code page become '?'.
QByteArray ToWin1250(const QString& text);
