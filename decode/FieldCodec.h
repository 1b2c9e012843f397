#pragma once

#include "core/SharedState.h"

// Appends the text of one two-byte value field of a log record to OutputText. The field is the byte pair
// ReceiveBuffer[i - 1], ReceiveBuffer[i]; i is the index of its second byte (always 1 or more in a log
// block). fieldType selects the decoding rule of the device type table; LinePosition tells FieldTypes 6
// and 7 whether this is one of the record's first two fields (position below 12) or a later one (the
// last field of a record has position 99).
//
// Texts: the value and ";", "--;" for a missing value, or for event devices the event code and the
// event's name without a closing ";". FieldType 1 writes the first character of DecimalSeparatorText
// between integer and fraction; when the DecimalSeparator setting is empty it writes the system's
// decimal separator instead, the one the views read values back with. Values in tenths are written with
// the system's decimal separator and no trailing zero ("21.5", "20", "-0.5"). FieldTypes without a rule
// (0, 8, 9, 14 and above) append nothing.
void DecodeField(SharedState& state, int i, int fieldType, char systemDecimalSeparator);
