#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <random>
#include <string>

#include "core/NumberReading.h"
#include "core/ValdError.h"
#include "views/NumberFormats.h"

namespace {

struct FormatCase {
  double value;
  NumberFormat format;
  const char* withPoint;
  const char* withComma;
};

class NumberFormatting : public testing::TestWithParam<FormatCase> {};

TEST_P(NumberFormatting, UsesTheSystemSeparator) {
  const FormatCase& c = GetParam();
  EXPECT_EQ(FormatNumber(c.value, c.format, '.'), QByteArray(c.withPoint));
  EXPECT_EQ(FormatNumber(c.value, c.format, ','), QByteArray(c.withComma));
}

using enum NumberFormat;
INSTANTIATE_TEST_SUITE_P(
    Formats, NumberFormatting,
    testing::Values(
        FormatCase{7.26, TwoDigitsOneDecimal, "07.3", "07,3"},
        FormatCase{123.44, TwoDigitsOneDecimal, "123.4", "123,4"},
        FormatCase{-3.14, TwoDigitsOneDecimal, "-03.1", "-03,1"},
        FormatCase{0, TwoDigitsOneDecimal, "00.0", "00,0"},
        FormatCase{18.25, TwoDigitsOneDecimal, "18.3", "18,3"},  // a half goes away from zero
        FormatCase{-18.25, TwoDigitsOneDecimal, "-18.3", "-18,3"},
        FormatCase{99.96, TwoDigitsOneDecimal, "100.0", "100,0"},
        FormatCase{-0.04, TwoDigitsOneDecimal, "00.0", "00,0"},  // no minus on a zero
        FormatCase{5.2, TwoDigits, "05", "05"}, FormatCase{123.6, TwoDigits, "124", "124"},
        FormatCase{-2.5, TwoDigits, "-03", "-03"}, FormatCase{0.5, OneDecimal, "0.5", "0,5"},
        FormatCase{12, OneDecimal, "12.0", "12,0"}, FormatCase{-327.68, OneDecimal, "-327.7", "-327,7"},
        FormatCase{123.4, General, "123.4", "123,4"}, FormatCase{5, General, "5", "5"},
        FormatCase{0.1 + 0.2, General, "0.3", "0,3"}, FormatCase{-0.5, General, "-0.5", "-0,5"},
        FormatCase{6553.5, General, "6553.5", "6553,5"}, FormatCase{-0.0, General, "0", "0"},
        FormatCase{1e20, General, "1E20", "1E20"}, FormatCase{1.5e-7, General, "1.5E-7", "1,5E-7"},
        FormatCase{12.34, OptionalDecimal, "12.3", "12,3"}, FormatCase{0.5, OptionalDecimal, ".5", ",5"},
        FormatCase{-0.5, OptionalDecimal, "-.5", "-,5"}, FormatCase{12.0, OptionalDecimal, "12", "12"},
        FormatCase{11.96, OptionalDecimal, "12", "12"}, FormatCase{0, OptionalDecimal, "0", "0"},
        FormatCase{0.04, OptionalDecimal, "0", "0"}, FormatCase{-0.04, OptionalDecimal, "0", "0"},
        FormatCase{NAN, OptionalDecimal, "NAN", "NAN"}));

struct ReadCase {
  const char* text;
  char separator;
  std::optional<double> value;
};

class NumberReading : public testing::TestWithParam<ReadCase> {};

TEST_P(NumberReading, TakesOnlyTheSystemFormat) {
  const ReadCase& c = GetParam();
  EXPECT_EQ(ReadNumber(c.text, c.separator), c.value) << c.text << " with '" << c.separator << "'";
}

INSTANTIATE_TEST_SUITE_P(
    Texts, NumberReading,
    testing::Values(ReadCase{"21.5", '.', 21.5}, ReadCase{"-0.5", '.', -0.5}, ReadCase{"3270", '.', 3270},
                    ReadCase{"-3276.8", '.', -3276.8}, ReadCase{"21,5", ',', 21.5},
                    ReadCase{"-3276,8", ',', -3276.8}, ReadCase{"21,5", '.', std::nullopt},
                    ReadCase{"21.5", ',', std::nullopt}, ReadCase{"", '.', std::nullopt},
                    ReadCase{"-", '.', std::nullopt}, ReadCase{".", '.', std::nullopt},
                    ReadCase{"--", '.', std::nullopt}, ReadCase{"1.2.3", '.', std::nullopt},
                    ReadCase{"12a", '.', std::nullopt}, ReadCase{"inf", '.', std::nullopt},
                    ReadCase{"nan", '.', std::nullopt}, ReadCase{"0x10", '.', std::nullopt},
                    ReadCase{" 7 ", '.', 7}, ReadCase{"+7", '.', 7}, ReadCase{".5", '.', 0.5},
                    ReadCase{"5.", '.', 5}, ReadCase{"1e3", '.', 1000}, ReadCase{"1,5E-1", ',', 0.15},
                    ReadCase{"1e", '.', std::nullopt}, ReadCase{"1e999", '.', std::nullopt}));

// Short numbers are read by a division of their digits; it must round exactly as the standard
// conversion, for every length and separator position.
TEST(NumberReading, RoundsAsTheStandardConversion) {
  std::mt19937_64 random(7);
  for (int n = 0; n < 20000; ++n) {
    const int digits = 1 + int(random() % 17);
    std::string text;
    for (int k = 0; k < digits; ++k) text += char('0' + random() % 10);
    text.insert(random() % (text.size() + 1), 1, '.');
    if (random() % 2) text.insert(0, 1, '-');
    double expected = 0;
    std::from_chars(text.data(), text.data() + text.size(), expected);
    EXPECT_EQ(ReadNumber(QByteArray::fromStdString(text), '.'), expected) << text;
  }
}

TEST(NumberReading, ErrorNamesTheText) {
  try {
    ParseNumber("21.5", ',');
    FAIL() << "no error";
  } catch (const ValdError& error) {
    EXPECT_EQ(error.Message(), QStringLiteral("'21.5' is not a valid floating point value"));
  }
}

}  // namespace
