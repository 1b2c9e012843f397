#include "views/NumberFormats.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

#include "core/Win1250.h"

namespace {

// A value rounded to a number of decimals, as decimal digits.
struct RoundedDigits {
  bool negative = false;
  std::string integer;   // without leading zeros, empty for a value below 1
  std::string fraction;  // exactly the requested number of digits
};

RoundedDigits Round(double value, int decimals) {
  char buffer[400];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  std::string_view text(buffer, ec == std::errc() ? end - buffer : 0);
  RoundedDigits digits;
  if (text.starts_with('-')) {
    digits.negative = true;
    text.remove_prefix(1);
  }
  const size_t point = text.find('.');
  digits.integer = std::string(text.substr(0, point));
  if (point != std::string_view::npos) digits.fraction = std::string(text.substr(point + 1));
  const bool roundUp = int(digits.fraction.size()) > decimals && digits.fraction[decimals] >= '5';
  digits.fraction.resize(decimals, '0');
  if (roundUp) {
    std::string all = digits.integer + digits.fraction;
    int i = int(all.size()) - 1;
    for (; i >= 0 && all[i] == '9'; --i) all[i] = '0';
    if (i >= 0) {
      ++all[i];
    } else {
      all.insert(all.begin(), '1');
    }
    digits.integer = all.substr(0, all.size() - decimals);
    digits.fraction = all.substr(all.size() - decimals);
  }
  digits.integer.erase(0, digits.integer.find_first_not_of('0'));
  // A value that rounds to zero is shown without a minus sign.
  if (digits.integer.empty() && digits.fraction.find_first_not_of('0') == std::string::npos) {
    digits.negative = false;
  }
  return digits;
}

// The sign, the integer digits and, when there are any, the separator and the fraction digits.
QByteArray NumberText(const RoundedDigits& digits, char decimalSeparator) {
  QByteArray text;
  text.reserve(qsizetype(digits.integer.size() + digits.fraction.size()) + 2);
  if (digits.negative) text += '-';
  text.append(digits.integer.data(), qsizetype(digits.integer.size()));
  if (!digits.fraction.empty()) {
    text += decimalSeparator;
    text.append(digits.fraction.data(), qsizetype(digits.fraction.size()));
  }
  return text;
}

// Fixed formats: "00.0", "00" and "0.0".
QByteArray FormatFixed(double value, int integerDigits, int decimals, char decimalSeparator) {
  RoundedDigits digits = Round(value, decimals);
  if (int(digits.integer.size()) < integerDigits) {
    digits.integer.insert(0, integerDigits - digits.integer.size(), '0');
  }
  return NumberText(digits, decimalSeparator);
}

QByteArray FormatOptionalDecimal(double value, char decimalSeparator) {
  RoundedDigits digits = Round(value, 1);
  if (digits.fraction == "0") digits.fraction.clear();
  if (digits.integer.empty() && digits.fraction.empty()) return "0";
  return NumberText(digits, decimalSeparator);
}

// The shortest text with up to 15 significant digits; very large and very small values take an
// exponent written as "E15" or "E-5".
QByteArray FormatGeneral(double value, char decimalSeparator) {
  if (value == 0) return "0";
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.15G", value);
  QByteArray text(buffer);
  text.replace('.', decimalSeparator);
  const qsizetype exponent = text.indexOf('E');
  if (exponent >= 0) {
    QByteArray power = text.mid(exponent + 1);
    const bool negativePower = power.startsWith('-');
    power.remove(0, 1);
    while (power.size() > 1 && power.startsWith('0')) power.remove(0, 1);
    text = text.left(exponent + 1) + (negativePower ? "-" : "") + power;
  }
  return text;
}

}  // namespace

QByteArray FormatNumber(double value, NumberFormat format, char decimalSeparator) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
  switch (format) {
    case NumberFormat::TwoDigitsOneDecimal:
      return FormatFixed(value, 2, 1, decimalSeparator);
    case NumberFormat::TwoDigits:
      return FormatFixed(value, 2, 0, decimalSeparator);
    case NumberFormat::OneDecimal:
      return FormatFixed(value, 1, 1, decimalSeparator);
    case NumberFormat::General:
      return FormatGeneral(value, decimalSeparator);
    case NumberFormat::OptionalDecimal:
      return FormatOptionalDecimal(value, decimalSeparator);
  }
  return {};
}
