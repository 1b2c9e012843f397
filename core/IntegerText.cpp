#include "core/IntegerText.h"

#include "core/ValdError.h"
#include "core/Win1250.h"

int32_t ParseInteger(QByteArrayView text) {
  const auto fail = [&] {
    throw ValdError(QStringLiteral("'%1' is not a valid integer value").arg(FromWin1250(text.toByteArray())));
  };
  qsizetype i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  int base = 10;
  if (i < text.size() && text[i] == '$') {
    base = 16;
    ++i;
  }
  if (i == text.size()) fail();
  int64_t value = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    const char lower = char(c | 0x20);
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (base == 16 && lower >= 'a' && lower <= 'f') digit = lower - 'a' + 10;
    if (digit < 0) fail();
    value = value * base + digit;
    // Hexadecimal may spell the full 32-bit pattern ("$FFFFFFFF" is -1); decimal must fit signed.
    if (value > (base == 16 ? int64_t(UINT32_MAX) : int64_t(INT32_MAX) + (negative ? 1 : 0))) fail();
  }
  if (base == 16) value = int32_t(uint32_t(value));
  return int32_t(negative ? -value : value);
}
