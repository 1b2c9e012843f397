#pragma once

#include <QByteArray>
#include <cstdint>

// How the value fields of a log are written: the device type's decoding rule (FieldType), the
// DecimalSeparator setting and the system's decimal separator.
struct FieldFormat {
  int fieldType = 0;
  QByteArray decimalSeparatorText;
  char systemDecimalSeparator = '.';
};

// Appends the text of one two-byte value field of a log record to `out`; `first` and `second` are its
// bytes in log order. format.fieldType selects the decoding rule of the device type table; linePosition
// (the record position of the field's second byte) tells FieldTypes 6 and 7 whether this is one of the
// record's first two fields (position below 12) or a later one (the last field of a record has
// position 99).
//
// Texts: the value and ";", "--;" for a missing value, or for event devices the event code and the
// event's name without a closing ";". FieldType 1 writes the first character of decimalSeparatorText
// between integer and fraction; when the DecimalSeparator setting is empty it writes the system's
// decimal separator instead, the one the views read values back with. Values in tenths are written with
// the system's decimal separator and no trailing zero ("21.5", "20", "-0.5"). FieldTypes without a rule
// (0, 8, 9, 14 and above) append nothing.
void DecodeField(uint8_t first, uint8_t second, int linePosition, const FieldFormat& format, QByteArray& out);
