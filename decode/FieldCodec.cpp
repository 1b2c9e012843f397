#include "decode/FieldCodec.h"

#include <array>
#include <cstdint>

namespace {

// How a field's two bytes become values.
enum class Form : uint8_t {
  None,          // no value
  SignedBytes,   // integer byte and fraction byte, both signed: -2.5
  EventCode,     // signed event code byte
  BytePair,      // two unsigned bytes, two values
  Unsigned,      // unsigned 16-bit word
  SignedTenths,  // signed 16-bit word in tenths
};

// What the missing-value test looks at: the first byte alone, or the two bytes as a 16-bit word.
enum class Reading : uint8_t { FirstByte, BigEndian, LittleEndian };

constexpr int Never = -1;

struct Rule {
  Form form = Form::None;
  Reading reading = Reading::FirstByte;
  int missing = Never;       // the reading that marks a missing value
  bool zeroMissing = false;  // a zero word is missing too
};

// FieldTypes 6 and 7 decode the first two fields of a record differently from the later ones.
struct FieldRules {
  Rule early;
  Rule late;
};

constexpr Rule Bytes(Form form, int missingFirstByte = Never) {
  return {form, Reading::FirstByte, missingFirstByte};
}
constexpr Rule BigEndian(Form form, int missing) {
  return {form, Reading::BigEndian, missing};
}
constexpr Rule LittleEndian(Form form, int missing, bool zeroMissing = false) {
  return {form, Reading::LittleEndian, missing, zeroMissing};
}
constexpr FieldRules Always(Rule rule) {
  return {rule, rule};
}

constexpr std::array<FieldRules, 14> RulesByFieldType = {{
    {},                                                                                // 0
    Always(Bytes(Form::SignedBytes, 0x80)),                                            // 1
    Always(BigEndian(Form::Unsigned, 0xFFFF)),                                         // 2
    Always(BigEndian(Form::SignedTenths, 30000)),                                      // 3
    Always(BigEndian(Form::SignedTenths, 32700)),                                      // 4
    Always(Bytes(Form::EventCode, 0x80)),                                              // 5
    {BigEndian(Form::SignedTenths, 30000), BigEndian(Form::Unsigned, 0xFFFF)},         // 6
    {LittleEndian(Form::SignedTenths, 0x7FFF), LittleEndian(Form::Unsigned, 0xFFFF)},  // 7
    {},                                                                                // 8
    {},                                                                                // 9
    Always(LittleEndian(Form::SignedTenths, 0x7FFF)),                                  // 10
    Always(LittleEndian(Form::Unsigned, 0xFFFF)),                                      // 11
    Always(Bytes(Form::BytePair)),                                                     // 12
    Always(LittleEndian(Form::Unsigned, 0xFFFF, true)),                                // 13
}};

// Fields ending at record positions 8 and 10 are early; the last field (position 99) is always late.
constexpr int FirstLateFieldPosition = 12;

bool IsNegative(uint8_t byte) {
  return byte >= 0x80;
}

unsigned SignedMagnitude(uint8_t byte) {
  const int value = int8_t(byte);
  return unsigned(value < 0 ? -value : value);
}

constexpr std::array<double, 4> PowersOfTen = {1, 10, 100, 1000};

int DigitCount(unsigned value) {
  return value >= 100 ? 3 : value >= 10 ? 2 : 1;
}

// `digits` over 10^decimals with a sign: one division of two exact numbers, so the value is the double
// nearest to its decimal text.
RecordValue Number(bool negative, unsigned digits, int decimals) {
  RecordValue value;
  value.kind = RecordValue::Kind::Number;
  value.decimals = uint8_t(decimals);
  value.number = decimals == 0 ? double(digits) : double(digits) / PowersOfTen[decimals];
  if (negative) value.number = -value.number;
  return value;
}

// Record positions of the first field's second byte and of the last byte a field other than the
// record's last can end at.
constexpr int FirstFieldEnd = 8;
constexpr int LastFieldEnd = 38;

const Rule& RuleAt(int fieldType, int linePosition) {
  static constexpr Rule NoRule{};
  if (fieldType < 0 || fieldType >= int(RulesByFieldType.size())) return NoRule;
  const FieldRules& rules = RulesByFieldType[fieldType];
  return linePosition < FirstLateFieldPosition ? rules.early : rules.late;
}

int DecodeByRule(uint8_t first, uint8_t second, const Rule& rule, RecordValue* out) {
  if (rule.form == Form::None) return 0;

  const unsigned word = rule.reading == Reading::LittleEndian ? first | second << 8 : first << 8 | second;
  const int reading = rule.reading == Reading::FirstByte ? int(first) : int(word);
  if (reading == rule.missing || (rule.zeroMissing && word == 0)) {
    out[0] = RecordValue{};
    return 1;
  }

  const bool eitherNegative = IsNegative(first) || IsNegative(second);
  switch (rule.form) {
    case Form::SignedBytes: {
      const unsigned fraction = SignedMagnitude(second);
      const int decimals = DigitCount(fraction);
      const unsigned whole = SignedMagnitude(first);
      out[0] = Number(eitherNegative, whole * unsigned(PowersOfTen[decimals]) + fraction, decimals);
      out[0].byteFraction = true;
      return 1;
    }
    case Form::EventCode:
      out[0] = Number(eitherNegative, SignedMagnitude(first), 0);
      out[0].kind = RecordValue::Kind::Event;
      out[0].eventCode = first;
      return 1;
    case Form::BytePair:
      out[0] = Number(eitherNegative, first, 0);
      out[1] = Number(false, second, 0);
      return 2;
    case Form::Unsigned:
      out[0] = Number(false, word, 0);
      return 1;
    case Form::SignedTenths: {
      const int tenths = int16_t(word);
      const unsigned magnitude = unsigned(tenths < 0 ? -tenths : tenths);
      out[0] = magnitude % 10 == 0 ? Number(tenths < 0, magnitude / 10, 0) : Number(tenths < 0, magnitude, 1);
      return 1;
    }
    case Form::None:
      break;
  }
  return 0;
}

}  // namespace

int DecodeField(uint8_t first, uint8_t second, int linePosition, int fieldType, RecordValue* out) {
  return DecodeByRule(first, second, RuleAt(fieldType, linePosition), out);
}

RecordFields::RecordFields(int recordLength, int fieldType) {
  for (int end = FirstFieldEnd; end <= recordLength && count < int(ends.size()); end += 2) {
    if (end > LastFieldEnd && end != recordLength) continue;
    ends[count] = uint8_t(end);
    rules[count] = &RuleAt(fieldType, end == recordLength ? LastFieldPosition : end);
    ++count;
  }
}

int DecodeRecordFields(const uint8_t* record, int available, const RecordFields& fields, RecordValue* out) {
  int values = 0;
  for (int k = 0; k < fields.count && fields.ends[k] <= available; ++k) {
    const int end = fields.ends[k];
    values += DecodeByRule(record[end - 2], record[end - 1], *static_cast<const Rule*>(fields.rules[k]),
                           out + values);
  }
  return values;
}
