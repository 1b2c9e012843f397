#include "core/NumberReading.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <string>

#include "core/ValdError.h"
#include "core/Win1250.h"

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

std::optional<ReadDecimal> ReadDecimalNumber(QByteArrayView text, char decimalSeparator) {
  text = text.trimmed();
  // Checked here character by character, so that only the system's separator is taken.
  qsizetype i = 0;
  const bool negative = i < text.size() && text[i] == '-';
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  const qsizetype mantissaStart = i;
  int mantissaDigits = 0;
  int fractionDigits = 0;
  bool separatorSeen = false;
  uint64_t mantissa = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (IsDigit(c)) {
      ++mantissaDigits;
      if (separatorSeen) ++fractionDigits;
      mantissa = mantissa * 10 + uint64_t(c - '0');
    } else if (c == decimalSeparator && !separatorSeen) {
      separatorSeen = true;
    } else {
      break;
    }
  }
  if (mantissaDigits == 0) return std::nullopt;
  const qsizetype mantissaEnd = i;
  const bool exponent = i < text.size() && (text[i] == 'e' || text[i] == 'E');
  if (exponent) {
    ++i;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    int exponentDigits = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) ++exponentDigits;
    if (exponentDigits == 0) return std::nullopt;
  }
  if (i != text.size()) return std::nullopt;

  // The values of a log: up to 15 digits, no exponent. Both the digits and the power of ten are exact
  // doubles then, and one division rounds exactly as the standard conversion does.
  static constexpr std::array<double, 16> PowersOfTen{1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                      1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  if (!exponent && mantissaDigits <= 15) {
    const double value = double(mantissa) / PowersOfTen[size_t(fractionDigits)];
    return ReadDecimal{negative ? -value : value, fractionDigits};
  }
  // Any other number goes to the standard conversion with "." in place of the separator.
  std::string number;
  number.reserve(size_t(text.size()) + 1);
  if (negative) number += '-';
  for (qsizetype k = mantissaStart; k < text.size(); ++k) {
    number += k < mantissaEnd && text[k] == decimalSeparator ? '.' : text[k];
  }
  double value = 0;
  const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (ec != std::errc() || end != number.data() + number.size()) return std::nullopt;
  return ReadDecimal{value, fractionDigits};
}

std::optional<double> ReadNumber(QByteArrayView text, char decimalSeparator) {
  const std::optional<ReadDecimal> number = ReadDecimalNumber(text, decimalSeparator);
  return number ? std::optional<double>(number->value) : std::nullopt;
}

double ParseNumber(QByteArrayView text, char decimalSeparator) {
  const std::optional<double> value = ReadNumber(text, decimalSeparator);
  if (!value) {
    throw ValdError(
        QStringLiteral("'%1' is not a valid floating point value").arg(FromWin1250(text.toByteArray())));
  }
  return *value;
}
