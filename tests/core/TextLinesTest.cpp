#include <gtest/gtest.h>

#include "core/EditedTextFile.h"
#include "core/TextLines.h"
#include "core/ValdError.h"
#include "support/TempFolder.h"

namespace {

struct SplitCase {
  const char* name;
  QByteArray text;
  QList<QByteArray> lines;
};

class TextLinesSplit : public testing::TestWithParam<SplitCase> {};

TEST_P(TextLinesSplit, SplitsAtEveryLineEnd) {
  TextLines lines;
  lines.SetText(GetParam().text);
  EXPECT_EQ(lines.Lines(), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    LineEnds, TextLinesSplit,
    testing::Values(SplitCase{"Empty", "", {}}, SplitCase{"CrLf", "a\r\nb\r\n", {"a", "b"}},
                    SplitCase{"Lf", "a\nb\n", {"a", "b"}}, SplitCase{"Cr", "a\rb\r", {"a", "b"}},
                    SplitCase{"Mixed", "a\r\nb\nc\rd", {"a", "b", "c", "d"}},
                    SplitCase{"LastLineWithoutEnd", "a\r\nb", {"a", "b"}},
                    SplitCase{"DoubleCrLfGivesEmptyLast", "a\r\n\r\n", {"a", ""}},
                    SplitCase{"EmptyLinesBetweenLf", "a\n\n\nb", {"a", "", "", "b"}},
                    SplitCase{"LfCrIsTwoEnds", "a\n\rb", {"a", "", "b"}},
                    SplitCase{"ZeroByteEndsText", QByteArray("a\r\nb\0c\r\nd", 9), {"a", "b"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TextLines, TextEndsEveryLineWithCrLf) {
  TextLines lines;
  lines.Add("x");
  lines.Add("");
  EXPECT_EQ(lines.Text(), QByteArray("x\r\n\r\n"));
}

TEST(TextLines, GetOutsideTheListNamesTheIndex) {
  TextLines lines;
  lines.Add("x");
  try {
    lines.Get(7);
    FAIL();
  } catch (const ValdError& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("List index out of bounds (7)"));
  }
}

TEST(TextLines, SaveAndLoadRoundTripBytes) {
  TempFolder folder;
  TextLines lines;
  lines.Add("\xE1rv\xEDzt\xFBr\xF5;t\xFCk\xF6rf\xFAr\xF3g\xE9p");
  lines.Add("");
  lines.SaveToFile(folder.File("x.csv"));
  EXPECT_EQ(folder.Read("x.csv"), lines.Text());
  TextLines loaded;
  loaded.LoadFromFile(folder.File("x.csv"), MaxEditedFileBytes);
  EXPECT_EQ(loaded, lines);
}

TEST(TextLines, FailedSaveKeepsTheOldFile) {
  TempFolder folder;
  folder.Write("x.csv", "old\r\n");
  TextLines lines;
  lines.Add("new");
  EXPECT_THROW(lines.SaveToFile(folder.File("missing/x.csv")), ValdError);
  EXPECT_THROW(lines.SaveToFile(folder.Path()), ValdError);
  EXPECT_EQ(folder.Read("x.csv"), QByteArray("old\r\n"));
}

TEST(TextLines, LoadingAMissingFileNamesIt) {
  TempFolder folder;
  TextLines lines;
  lines.Add("kept");
  try {
    lines.LoadFromFile(folder.File("cfg.ini"), MaxEditedFileBytes);
    FAIL();
  } catch (const ValdError& e) {
    EXPECT_TRUE(e.Message().contains(QStringLiteral("cfg.ini")));
  }
  EXPECT_EQ(lines.Count(), 1);
}

}  // namespace
