#include "decode/FieldCodec.h"

#include <QString>
#include <array>
#include <cstdint>

#include "core/Win1250.h"

namespace {

// How a field's two bytes become text.
enum class Form : uint8_t {
  None,          // nothing is written
  SignedBytes,   // integer byte and fraction byte, both signed: "-2,5"
  EventCode,     // signed event code byte, then the event's name
  BytePair,      // two unsigned bytes, two value columns
  Unsigned,      // unsigned 16-bit word in decimal
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

struct EventName {
  uint8_t code;
  const char16_t* text;
};

constexpr std::array<EventName, 7> EventNames = {{
    {0, u";Kikapcsolás"},
    {4, u";Reset"},
    {5, u";Extra csengetés"},
    {10, u";Automatikus csengetés"},
    {15, u";Kézi csengetés"},
    {20, u";Telefonos csengetés"},
    {25, u";Nap törlés"},
}};

// The Windows-1250 name of an event code, converted once.
const QByteArray& EventNameText(uint8_t code) {
  static const auto texts = [] {
    std::array<QByteArray, EventNames.size() + 1> converted;
    for (size_t k = 0; k < EventNames.size(); ++k)
      converted[k] = ToWin1250(QString::fromUtf16(EventNames[k].text));
    converted.back() = ";Ismeretlen";
    return converted;
  }();
  for (size_t k = 0; k < EventNames.size(); ++k) {
    if (EventNames[k].code == code) return texts[k];
  }
  return texts.back();
}

char* WriteDecimal(char* p, unsigned value) {
  char digits[10];
  int count = 0;
  do {
    digits[count++] = char('0' + value % 10);
    value /= 10;
  } while (value != 0);
  while (count > 0) *p++ = digits[--count];
  return p;
}

// A value in tenths as the general float format gives it for v / 10: no exponent, no trailing zero,
// no separator for a whole number. Every 16-bit value divided by ten is exact in 15 significant digits.
char* WriteTenths(char* p, int tenths, char separator) {
  if (tenths < 0) {
    *p++ = '-';
    tenths = -tenths;
  }
  p = WriteDecimal(p, unsigned(tenths / 10));
  if (tenths % 10 != 0) {
    *p++ = separator;
    *p++ = char('0' + tenths % 10);
  }
  return p;
}

bool IsNegative(uint8_t byte) {
  return byte >= 0x80;
}

unsigned SignedMagnitude(uint8_t byte) {
  const int value = int8_t(byte);
  return unsigned(value < 0 ? -value : value);
}

}  // namespace

void DecodeField(uint8_t first, uint8_t second, int linePosition, const FieldFormat& format,
                 QByteArray& out) {
  const int fieldType = format.fieldType;
  if (fieldType < 0 || fieldType >= int(RulesByFieldType.size())) return;
  const FieldRules& rules = RulesByFieldType[fieldType];
  const Rule& rule = linePosition < FirstLateFieldPosition ? rules.early : rules.late;
  if (rule.form == Form::None) return;

  const unsigned word = rule.reading == Reading::LittleEndian ? first | second << 8 : first << 8 | second;
  const int reading = rule.reading == Reading::FirstByte ? int(first) : int(word);
  if (reading == rule.missing || (rule.zeroMissing && word == 0)) {
    out.append("--;", 3);
    return;
  }

  char text[16];
  char* p = text;
  switch (rule.form) {
    case Form::SignedBytes: {
      const char separator = format.decimalSeparatorText.isEmpty() ? format.systemDecimalSeparator
                                                                   : format.decimalSeparatorText[0];
      if (IsNegative(first) || IsNegative(second)) *p++ = '-';
      p = WriteDecimal(p, SignedMagnitude(first));
      *p++ = separator;
      p = WriteDecimal(p, SignedMagnitude(second));
      *p++ = ';';
      break;
    }
    case Form::EventCode:
      if (IsNegative(first) || IsNegative(second)) *p++ = '-';
      p = WriteDecimal(p, SignedMagnitude(first));
      out.append(text, p - text);
      out.append(EventNameText(first));
      return;
    case Form::BytePair:
      if (IsNegative(first) || IsNegative(second)) *p++ = '-';
      p = WriteDecimal(p, first);
      *p++ = ';';
      p = WriteDecimal(p, second);
      *p++ = ';';
      break;
    case Form::Unsigned:
      p = WriteDecimal(p, word);
      *p++ = ';';
      break;
    case Form::SignedTenths:
      p = WriteTenths(p, int16_t(word), format.systemDecimalSeparator);
      *p++ = ';';
      break;
    case Form::None:
      return;
  }
  out.append(text, p - text);
}
