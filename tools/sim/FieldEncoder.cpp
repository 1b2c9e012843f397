#include "tools/sim/FieldEncoder.h"

#include <algorithm>
#include <cmath>

namespace {

using Field = std::array<uint8_t, 2>;

// How a rule lays its 16-bit number into the two bytes, and which raw number means "missing".
enum class Layout { SignedBytes, BigEndian, LittleEndian };
struct FieldRule {
  Layout layout;
  bool tenths;
  int minimum;  // raw range that decodes as a value
  int maximum;
  Field missing;
};

constexpr FieldRule SignedBytesRule{Layout::SignedBytes, true, -1279, 1279, {0x80, 0x00}};
constexpr FieldRule EventRule{Layout::SignedBytes, false, 0, 127, {0x80, 0x00}};
constexpr FieldRule TenthsBigEndian(int missingMark) {
  return {
      Layout::BigEndian, true, -32768, missingMark - 1, {uint8_t(missingMark >> 8), uint8_t(missingMark)}};
}
constexpr FieldRule WholeBigEndian{Layout::BigEndian, false, 0, 0xFFFE, {0xFF, 0xFF}};
constexpr FieldRule TenthsLittleEndian{Layout::LittleEndian, true, -32768, 0x7FFE, {0xFF, 0x7F}};
constexpr FieldRule WholeLittleEndian{Layout::LittleEndian, false, 0, 0xFFFE, {0xFF, 0xFF}};
constexpr FieldRule RelayRule{Layout::BigEndian, false, 0, 0x0303, {0x00, 0x00}};
constexpr FieldRule NonZeroLittleEndian{Layout::LittleEndian, false, 1, 0xFFFE, {0xFF, 0xFF}};

// Rules by FieldType: the early-field rule, then the late-field rule (they differ for 6 and 7 only).
struct RulesOfType {
  int fieldType;
  FieldRule early;
  FieldRule late;
};
constexpr std::array<RulesOfType, 11> Rules = {{
    {1, SignedBytesRule, SignedBytesRule},
    {2, WholeBigEndian, WholeBigEndian},
    {3, TenthsBigEndian(30000), TenthsBigEndian(30000)},
    {4, TenthsBigEndian(32700), TenthsBigEndian(32700)},
    {5, EventRule, EventRule},
    {6, TenthsBigEndian(30000), WholeBigEndian},
    {7, TenthsLittleEndian, WholeLittleEndian},
    {10, TenthsLittleEndian, TenthsLittleEndian},
    {11, WholeLittleEndian, WholeLittleEndian},
    {12, RelayRule, RelayRule},
    {13, NonZeroLittleEndian, NonZeroLittleEndian},
}};

// FieldTypes without a rule decode to nothing; their fields are stored as plain big-endian numbers.
FieldRule RuleOf(int fieldType, bool lateField) {
  const auto it = std::find_if(Rules.begin(), Rules.end(),
                               [&](const RulesOfType& r) { return r.fieldType == fieldType; });
  if (it == Rules.end()) return WholeBigEndian;
  return lateField ? it->late : it->early;
}

}  // namespace

bool IsLateField(int fieldIndex, int fieldCount) {
  return fieldIndex >= 2 || fieldIndex == fieldCount - 1;
}

std::array<uint8_t, 2> EncodeField(int fieldType, bool lateField, std::optional<double> value) {
  const FieldRule rule = RuleOf(fieldType, lateField);
  if (!value) return rule.missing;
  const int raw = std::clamp(int(std::lround(*value * (rule.tenths ? 10 : 1))), rule.minimum, rule.maximum);
  switch (rule.layout) {
    case Layout::SignedBytes:
      // Integer part and fraction digit, both carrying the sign: -2.5 is 0xFE 0xFB, -0.5 is 0x00 0xFB.
      return rule.tenths ? Field{uint8_t(int8_t(raw / 10)), uint8_t(int8_t(raw % 10))}
                         : Field{uint8_t(raw), 0};
    case Layout::BigEndian:
      return {uint8_t(raw >> 8), uint8_t(raw)};
    case Layout::LittleEndian:
      return {uint8_t(raw), uint8_t(raw >> 8)};
  }
  return rule.missing;
}
