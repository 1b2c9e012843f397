#pragma once

#include <array>
#include <cstdint>

#include "core/LogRecord.h"

// Record position of the last byte of a record: its last field is decoded there.
constexpr int LastFieldPosition = 99;

// Decodes one two-byte value field of a log record into `out` and returns how many values it gave:
// one, two for a relay event field (FieldType 12), none for a FieldType without a rule (0, 8, 9, 14
// and above). `first` and `second` are the field's bytes in log order; linePosition (the record
// position of the field's second byte) tells FieldTypes 6 and 7 whether this is one of the record's
// first two fields (position below 12) or a later one (the last field of a record has position 99).
//
// A value is the device's missing-value mark, a number with the decimals the device gave (an integer
// byte and a fraction byte "21" "5" give 21.5 with one decimal, "20" "0" gives 20.0 with one; a
// word in tenths gives no decimal when it is whole), or for the bell devices an event code.
int DecodeField(uint8_t first, uint8_t second, int linePosition, int fieldType, RecordValue* out);

// The fields of one record length and FieldType, resolved once for a whole log: where each field ends
// and which rule of the FieldType it follows.
struct RecordFields {
  RecordFields(int recordLength, int fieldType);

  int count = 0;
  std::array<uint8_t, 20> ends{};  // record position (1-based) of each field's second byte
  std::array<const void*, 20> rules{};
};

// Decodes the fields of one record whose first `available` bytes are there into `out` (room for two
// values a field); returns the number of values.
int DecodeRecordFields(const uint8_t* record, int available, const RecordFields& fields, RecordValue* out);
