#include <gtest/gtest.h>

#include "core/IntegerText.h"
#include "core/ValdError.h"

namespace {

struct IntegerCase {
  QByteArray text;
  int32_t value;
};

class IntegerTextValid : public testing::TestWithParam<IntegerCase> {};

TEST_P(IntegerTextValid, Reads) {
  EXPECT_EQ(ParseInteger(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Texts, IntegerTextValid,
                         testing::Values(IntegerCase{"4352", 4352}, IntegerCase{"$1100", 4352},
                                         IntegerCase{"$1100", 4352}, IntegerCase{"  7000", 7000},
                                         IntegerCase{"-3200", -3200}, IntegerCase{"+5", 5},
                                         IntegerCase{"$ff", 255}, IntegerCase{"$FFFFFFFF", -1},
                                         IntegerCase{"2147483647", INT32_MAX},
                                         IntegerCase{"-2147483648", INT32_MIN}));

class IntegerTextInvalid : public testing::TestWithParam<QByteArray> {};

TEST_P(IntegerTextInvalid, ThrowsWithTheText) {
  try {
    ParseInteger(GetParam());
    FAIL();
  } catch (const ValdError& e) {
    EXPECT_EQ(e.Message(),
              QStringLiteral("'%1' is not a valid integer value").arg(QString::fromLatin1(GetParam())));
  }
}

INSTANTIATE_TEST_SUITE_P(Texts, IntegerTextInvalid,
                         testing::Values("", " ", "abc", "12 ", "1.5", "$", "$1G", "-", "2147483648",
                                         "$100000000", "0x10"));

}  // namespace
