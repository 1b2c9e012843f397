#pragma once

#include <array>
#include <cstdint>
#include <optional>

// The device side of the record field codec: a value as the device stores it in one two-byte field.
// The value is what the decoded column shows: tenths-rules store round(value * 10), whole-number rules
// store round(value); values are clamped into what the rule can hold without looking like the missing
// mark. An event field (rule 5) holds the event code, a relay field (rule 12) two small numbers as
// first * 256 + second. No value stores the rule's missing mark; rule 12 has none and stores 0;0.
std::array<uint8_t, 2> EncodeField(int fieldType, bool lateField, std::optional<double> value);

// Rules 6 and 7 decode the first two value fields of a record as tenths and the rest as whole numbers;
// the last field of a record always counts as a late one.
bool IsLateField(int fieldIndex, int fieldCount);
