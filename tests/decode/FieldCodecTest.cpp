#include <gtest/gtest.h>

#include <QString>
#include <cstdio>
#include <tuple>

#include "core/Win1250.h"
#include "decode/FieldCodec.h"
#include "files/MeasurementLine.h"

namespace {

// Record positions of a field's second byte: the first field, the third field, the last field.
constexpr int FirstField = 8;
constexpr int SecondField = 10;
constexpr int ThirdField = 12;
constexpr int LastField = LastFieldPosition;

struct FieldCase {
  int fieldType;
  uint8_t b1;
  uint8_t b2;
  int linePosition;
  // UTF-8; '@' stands for the DecimalSeparator setting, '#' for the system's decimal separator.
  const char* expected;
};

void PrintTo(const FieldCase& c, std::ostream* os) {
  char bytes[16];
  std::snprintf(bytes, sizeof bytes, "%02X %02X", c.b1, c.b2);
  *os << "FieldType " << c.fieldType << " bytes " << bytes << " at " << c.linePosition;
}

// The field's values as a measurement line writes them.
QByteArray Decode(const QByteArray& separatorSetting, char systemSeparator, int fieldType, uint8_t b1,
                  uint8_t b2, int linePosition) {
  RecordValue values[2];
  const int count = DecodeField(b1, b2, linePosition, fieldType, values);
  LogRecord record;
  record.valueCount = uint32_t(count);
  return FormatMeasurementLine(record, std::span(values, size_t(count)),
                               SeparatorsOf(separatorSetting, systemSeparator));
}

class FieldCodecVectors
    : public testing::TestWithParam<std::tuple<FieldCase, const char* /*setting*/, char /*system*/>> {};

TEST_P(FieldCodecVectors, AppendsTheFieldText) {
  const auto& [c, setting, system] = GetParam();
  QString expected = QString::fromUtf8(c.expected);
  expected.replace(QLatin1Char('@'), QLatin1Char(setting[0])).replace(QLatin1Char('#'), QLatin1Char(system));
  EXPECT_EQ(Decode(setting, system, c.fieldType, c.b1, c.b2, c.linePosition), ToWin1250(expected));
}

constexpr FieldCase Vectors[] = {
    // 1: signed integer byte and fraction byte, the setting's separator.
    {1, 0x15, 0x05, FirstField, "21@5;"},
    {1, 0xFE, 0xFB, FirstField, "-2@5;"},
    {1, 0x00, 0xFB, FirstField, "-0@5;"},
    {1, 0x14, 0x00, LastField, "20@0;"},
    {1, 0x80, 0x00, FirstField, "--;"},
    {1, 0x05, 0x80, FirstField, "-5@128;"},
    {1, 0x7F, 0x0C, FirstField, "127@12;"},
    // 2: unsigned big-endian.
    {2, 0x01, 0x2C, FirstField, "300;"},
    {2, 0xFF, 0xFE, LastField, "65534;"},
    {2, 0xFF, 0xFF, FirstField, "--;"},
    {2, 0x00, 0x00, FirstField, "0;"},
    // 3 and 4: signed big-endian tenths, the system's separator.
    {3, 0x00, 0xD7, FirstField, "21#5;"},
    {3, 0xFF, 0xEC, FirstField, "-2;"},
    {3, 0x75, 0x30, FirstField, "--;"},
    {3, 0x7F, 0xBC, LastField, "3270;"},
    {3, 0xFF, 0xFB, FirstField, "-0#5;"},
    {3, 0x00, 0x00, FirstField, "0;"},
    {3, 0x80, 0x00, FirstField, "-3276#8;"},
    {4, 0x7F, 0xBC, FirstField, "--;"},
    {4, 0x75, 0x30, FirstField, "3000;"},
    // 5: event code and name, no closing ";".
    {5, 0x05, 0x00, LastField, "5;Extra csengetés"},
    {5, 0x1A, 0x00, LastField, "26;Ismeretlen"},
    {5, 0x80, 0x00, LastField, "--;"},
    {5, 0x00, 0x00, LastField, "0;Kikapcsolás"},
    {5, 0x04, 0x00, LastField, "4;Reset"},
    {5, 0x0A, 0x00, LastField, "10;Automatikus csengetés"},
    {5, 0x0F, 0x00, LastField, "15;Kézi csengetés"},
    {5, 0x14, 0x00, LastField, "20;Telefonos csengetés"},
    {5, 0x19, 0x00, LastField, "25;Nap törlés"},
    {5, 0x05, 0x90, LastField, "-5;Extra csengetés"},
    {5, 0xFB, 0x00, LastField, "-5;Ismeretlen"},
    // 6: early fields as rule 3, late fields unsigned whole numbers.
    {6, 0x00, 0xD7, FirstField, "21#5;"},
    {6, 0xFF, 0xFF, FirstField, "-0#1;"},
    {6, 0xFF, 0xFF, SecondField, "-0#1;"},
    {6, 0x75, 0x30, SecondField, "--;"},
    {6, 0x01, 0x9F, ThirdField, "415;"},
    {6, 0xFF, 0xFF, ThirdField, "--;"},
    {6, 0xFF, 0xFE, LastField, "65534;"},
    {6, 0x75, 0x30, LastField, "30000;"},
    // 7: early fields signed little-endian tenths, late fields unsigned little-endian.
    {7, 0xD7, 0x00, FirstField, "21#5;"},
    {7, 0xFF, 0x7F, FirstField, "--;"},
    {7, 0xEC, 0xFF, SecondField, "-2;"},
    {7, 0x9F, 0x01, LastField, "415;"},
    {7, 0xFF, 0x7F, ThirdField, "32767;"},
    {7, 0xFF, 0xFF, LastField, "--;"},
    // 10: signed little-endian tenths.
    {10, 0xEC, 0xFF, FirstField, "-2;"},
    {10, 0x00, 0x80, LastField, "-3276#8;"},
    {10, 0xFF, 0x7F, FirstField, "--;"},
    {10, 0xD7, 0x00, ThirdField, "21#5;"},
    {10, 0xFE, 0x7F, ThirdField, "3276#6;"},
    // 11: unsigned little-endian.
    {11, 0x2C, 0x01, FirstField, "300;"},
    {11, 0xFF, 0xFF, FirstField, "--;"},
    {11, 0x00, 0x00, FirstField, "0;"},
    // 12: two byte columns, never missing.
    {12, 0x01, 0x00, LastField, "1;0;"},
    {12, 0x81, 0x02, LastField, "-129;2;"},
    {12, 0x02, 0xFF, LastField, "-2;255;"},
    {12, 0xFF, 0xFF, LastField, "-255;255;"},
    // 13: unsigned little-endian, zero is missing too.
    {13, 0x00, 0x00, FirstField, "--;"},
    {13, 0x01, 0x00, FirstField, "1;"},
    {13, 0xFF, 0xFF, LastField, "--;"},
    {13, 0x10, 0x27, LastField, "10000;"},
    // No rule: nothing.
    {0, 0x15, 0x05, FirstField, ""},
    {8, 0x15, 0x05, FirstField, ""},
    {9, 0x15, 0x05, FirstField, ""},
    {14, 0x15, 0x05, FirstField, ""},
    {255, 0x15, 0x05, FirstField, ""},
    {-1, 0x15, 0x05, FirstField, ""},
};

INSTANTIATE_TEST_SUITE_P(SettingAndSystemSeparators, FieldCodecVectors,
                         testing::Combine(testing::ValuesIn(Vectors), testing::Values(",", "."),
                                          testing::Values('.', ',')));

TEST(FieldCodec, EventNamesAreWindows1250Bytes) {
  EXPECT_EQ(Decode(",", '.', 5, 0x00, 0x00, LastField), QByteArray("0;Kikapcsol\xE1s"));
  EXPECT_EQ(Decode(",", '.', 5, 0x19, 0x00, LastField), QByteArray("25;Nap t\xF6rl\xE9s"));
}

TEST(FieldCodec, EmptySeparatorSettingFallsBackToTheSystemSeparator) {
  EXPECT_EQ(Decode("", ',', 1, 0x15, 0x05, FirstField), "21,5;");
  EXPECT_EQ(Decode("", '.', 1, 0xFE, 0xFB, FirstField), "-2.5;");
}

TEST(FieldCodec, OnlyTheSettingsFirstCharacterIsWritten) {
  EXPECT_EQ(Decode(";x", '.', 1, 0x15, 0x05, FirstField), "21;5;");
}

// The general float format of v / 10 rounded to 15 significant digits, the reference for every word.
QByteArray ReferenceTenths(int tenths, char separator) {
  char text[32];
  std::snprintf(text, sizeof text, "%.15g;", tenths / 10.0);
  QByteArray reference(text);
  reference.replace('.', separator);
  return reference;
}

class TenthsRules : public testing::TestWithParam<std::tuple<int /*fieldType*/, int /*missing*/, bool>> {};

TEST_P(TenthsRules, EveryWordMatchesTheGeneralFloatFormat) {
  const auto [fieldType, missingWord, littleEndian] = GetParam();
  for (int word = 0; word <= 0xFFFF; ++word) {
    const uint8_t high = uint8_t(word >> 8), low = uint8_t(word);
    const QByteArray text = littleEndian ? Decode(".", ',', fieldType, low, high, FirstField)
                                         : Decode(".", ',', fieldType, high, low, FirstField);
    const QByteArray expected = word == missingWord ? "--;" : ReferenceTenths(int16_t(word), ',');
    ASSERT_EQ(text, expected) << "word " << word;
  }
}

INSTANTIATE_TEST_SUITE_P(Rules, TenthsRules,
                         testing::Values(std::tuple(3, 30000, false), std::tuple(4, 32700, false),
                                         std::tuple(6, 30000, false), std::tuple(7, 0x7FFF, true),
                                         std::tuple(10, 0x7FFF, true)));

}  // namespace
