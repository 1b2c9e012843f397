#pragma once

#include <QByteArray>

// Numbers in the user's regional format: the views write and read them with the system's decimal
// separator, never with the DecimalSeparator setting of the field codec. Rounding to the shown
// decimals goes half away from zero on the value's shortest decimal form (18.25 shows 18.3).
enum class NumberFormat {
  TwoDigitsOneDecimal,  // "00.0": one decimal, at least two integer digits (7.26 gives 07.3)
  TwoDigits,            // "00": a whole number, at least two digits (5.2 gives 05)
  OneDecimal,           // "0.0": one decimal, at least one integer digit (12 gives 12.0)
  General,              // shortest text up to 15 significant digits, no trailing zeros (5 gives 5)
  OptionalDecimal,      // "#.#": at most one decimal, no zeros added (0.5 gives .5, 12.0 gives 12)
};

// A value whose "#.#" text would hold no digit at all (it rounds to 0) shows as "0".
QByteArray FormatNumber(double value, NumberFormat format, char decimalSeparator);
