#include "settings/DecimalSeparatorRule.h"

#include <QByteArrayView>

#include "core/Win1250.h"

namespace {

// Control characters, the code page's undefined bytes included, are not printable.
bool IsPrintable(char byte) {
  return FromWin1250(QByteArray(1, byte)).front().isPrint();
}

}  // namespace

bool IsUsableDecimalSeparator(char separator) {
  return IsPrintable(separator) && !QByteArrayView(";+-'\"0123456789").contains(separator);
}

QString SeparatorForMessage(char separator) {
  return IsPrintable(separator) ? FromWin1250(QByteArray(1, separator))
                                : QStringLiteral("#%1").arg(uint8_t(separator));
}
