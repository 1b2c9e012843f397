#include <gtest/gtest.h>

#include "core/Win1250.h"

namespace {

TEST(Win1250, EveryByteSurvivesARoundTrip) {
  QByteArray all;
  for (int b = 0; b < 256; ++b) all.append(char(b));
  const QString text = FromWin1250(all);
  ASSERT_EQ(text.size(), 256);
  EXPECT_EQ(ToWin1250(text), all);
}

TEST(Win1250, HungarianLettersMapToTheirCodePoints) {
  EXPECT_EQ(FromWin1250("\xE1\xE9\xED\xF3\xF6\xF5\xFA\xFC\xFB\xB0"), QStringLiteral("áéíóöőúüű°"));
  EXPECT_EQ(ToWin1250(QStringLiteral("Kikapcsolás")), QByteArray("Kikapcsol\xE1s"));
  EXPECT_EQ(ToWin1250(QStringLiteral("µg/m3")), QByteArray("\xB5g/m3"));
  EXPECT_EQ(ToWin1250(QStringLiteral("€Őő")), QByteArray("\x80\xD5\xF5"));
}

TEST(Win1250, CharactersOutsideTheCodePageBecomeQuestionMarks) {
  EXPECT_EQ(ToWin1250(QStringLiteral("a\u4e2db")), QByteArray("a?b"));
}

}  // namespace
