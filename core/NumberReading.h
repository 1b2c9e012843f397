#pragma once

#include <QByteArrayView>
#include <optional>

// A number read from a text, and the digits it had after its decimal separator.
struct ReadDecimal {
  double value = 0;
  int decimals = 0;
};

// Reads a number as the system writes it: blanks around it allowed, an optional sign, digits with at
// most one decimal separator (at least one digit), an optional exponent. Nothing for any other text,
// for a text with another separator and for a value beyond the double range.
std::optional<ReadDecimal> ReadDecimalNumber(QByteArrayView text, char decimalSeparator);
std::optional<double> ReadNumber(QByteArrayView text, char decimalSeparator);

// As ReadNumber; a text that is no number throws ValdError "'<text>' is not a valid floating point value".
double ParseNumber(QByteArrayView text, char decimalSeparator);
