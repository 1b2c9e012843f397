#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "core/BoundedFile.h"
#include "core/EditedTextFile.h"
#include "core/LineReader.h"
#include "core/ValdError.h"
#include "support/LargeFiles.h"

namespace {

// The reader splits a file read piece by piece exactly as the whole text is split, a line end across two
// pieces included.
TEST(LineReader, SplitsAsTheWholeTextIsSplit) {
  constexpr char Alphabet[] = {'a', 'b', '\r', '\n', '\0', '\xEF', '\xBB', '\xBF'};
  std::mt19937 random(20240301);
  TempFolder folder;
  for (int round = 0; round < 40; ++round) {
    QByteArray content(qsizetype(random() % 200000), '\0');
    for (char& c : content) c = Alphabet[random() % sizeof Alphabet];
    if (round % 4 == 0) content.prepend(Utf8ByteOrderMark);
    if (round % 4 == 1 && content.size() > 65537) content.replace(65535, 2, "\r\n");
    folder.Write(QStringLiteral("f"), content);
    for (const auto mark : {LineReader::ByteOrderMark::Kept, LineReader::ByteOrderMark::Skipped}) {
      LineReader reader(folder.File(QStringLiteral("f")), 1 << 20, 1 << 20, mark);
      QList<QByteArray> lines;
      while (std::optional<QByteArray> line = reader.Next()) lines << *line;
      TextLines expected;
      expected.SetWholeText(content);
      if (mark == LineReader::ByteOrderMark::Skipped) expected = EditedFileLines(content);
      ASSERT_EQ(lines, expected.Lines()) << "round " << round;
      EXPECT_EQ(reader.LineCount(), lines.size());
    }
  }
}

struct EditedFileCase {
  const char* name;
  std::function<QString(const TempFolder&)> file;
  const char* error;  // FILE stands for the file's path; empty: the file reads
};

class EditedFileBounds : public testing::TestWithParam<EditedFileCase> {};

// Every file a user writes with an editor is read up to its limits and no further: a file at them reads,
// one beyond is refused as soon as that shows, naming the file and the limit.
TEST_P(EditedFileBounds, ReadUpToTheLimits) {
  TempFolder folder;
  const QString path = GetParam().file(folder);
  const QString expected = QString::fromLatin1(GetParam().error).replace(QStringLiteral("FILE"), path);
  QString error;
  try {
    ReadEditedFile(path);
  } catch (const ValdError& e) {
    error = e.Message();
  }
  EXPECT_EQ(error, expected);
}

QString Written(const TempFolder& folder, const QByteArray& content) {
  folder.Write(QStringLiteral("f"), content);
  return folder.File(QStringLiteral("f"));
}

INSTANTIATE_TEST_SUITE_P(
    Limits, EditedFileBounds,
    testing::Values(
        EditedFileCase{"LineAtTheLimit",
                       [](const TempFolder& f) { return Written(f, "a\r\n" + QByteArray(1024, 'x')); }, ""},
        EditedFileCase{
            "ByteOrderMarkIsNoPartOfTheLine",
            [](const TempFolder& f) { return Written(f, Utf8ByteOrderMark + QByteArray(1024, 'x')); }, ""},
        EditedFileCase{
            "LineBeyondTheLimit",
            [](const TempFolder& f) { return Written(f, "a\r\n" + QByteArray(1025, 'x') + "\r\n"); },
            "FILE line 2: the line is longer than 1024 bytes"},
        EditedFileCase{"HugeLine",
                       [](const TempFolder& f) { return Written(f, "a\n" + QByteArray(8 << 20, 'x')); },
                       "FILE line 2: the line is longer than 1024 bytes"},
        EditedFileCase{
            "ZerosWithoutALineEnd",
            [](const TempFolder& f) { return WriteZerosAfter(f, QStringLiteral("f"), "a\n", 8 << 20); },
            "FILE line 2: the line is longer than 1024 bytes"},
        EditedFileCase{"EndlessZeros", [](const TempFolder&) { return QStringLiteral("/dev/zero"); },
                       "FILE line 1: the line is longer than 1024 bytes"},
        EditedFileCase{
            "FileAtTheLimit",
            [](const TempFolder& f) { return Written(f, CommentsUpTo("a\n", MaxEditedFileBytes)); }, ""},
        EditedFileCase{
            "FileBeyondTheLimit",
            [](const TempFolder& f) { return Written(f, CommentsUpTo("a\n", MaxEditedFileBytes + 1)); },
            "Cannot read file \"FILE\". It is larger than 16777216 bytes."},
        EditedFileCase{"NulByte", [](const TempFolder& f) { return Written(f, QByteArray("a\nb\0c\n", 6)); },
                       "FILE line 2: the line holds a NUL byte"}),
    [](const auto& info) { return std::string(info.param.name); });

// A device or a pipe has no size to look at: it is measured by what it gives.
TEST(BoundedFile, ADeviceIsRefusedOnceItGaveMoreThanTheLimit) {
  EXPECT_THROW(ReadWholeFile(QStringLiteral("/dev/zero"), 1 << 20), ValdError);
  EXPECT_EQ(ReadWholeFile(QStringLiteral("/dev/null"), 0), QByteArray());
  // A text ends at its first zero byte: nothing after it is read.
  EXPECT_EQ(ReadTextFile(QStringLiteral("/dev/zero"), MaxEditedFileBytes), QByteArray());
}

}  // namespace
