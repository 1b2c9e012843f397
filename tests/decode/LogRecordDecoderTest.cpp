#include <gtest/gtest.h>

#include "LogImage.h"

namespace {

QByteArray DecodeText(const QByteArray& image, int recordLength, int fieldType,
                      const QByteArray& setting = ",", char system = '.') {
  return DecodeLogImage(image, recordLength, fieldType, setting, system);
}

TEST(LogRecordDecoder, DecodesTheFirstRecordOfAnAgateLog) {
  const QByteArray record("\x77\x17\x0C\x03\x0E\x05\x15\x05\x14\x00", 10);
  const QByteArray text = DecodeText(record + ErasedMemory(LogBlockSize - 10), 10, 1);
  EXPECT_TRUE(text.startsWith("a;2023;12;03;14;05;21,5;20,0;\r\nn;"));
}

TEST(LogRecordDecoder, WritesYearZeroAndWideTimeStampBytesAsTheyAre) {
  const QByteArray record("w\x00\x7B\x09\x00\x3B\x01\x2C", 8);
  EXPECT_TRUE(DecodeText(record, 8, 2).startsWith("a;0;123;09;00;59;300;\r\n"));
  const QByteArray lastYear("w\xFF\x0A\xFF\x64\xC8\x01\x2C", 8);
  EXPECT_TRUE(DecodeText(lastYear, 8, 2).startsWith("a;2255;10;255;100;200;300;\r\n"));
}

struct KindCase {
  const char* memoryKinds;
  const char* decodedKinds;
};

class RecordKinds : public testing::TestWithParam<KindCase> {};

// "w" records take the current kind, which turns from "a" to "b" at the "x" record for the rest of the
// log; erased memory is "n"; every other byte is written as it is.
TEST_P(RecordKinds, FollowTheRingsTurn) {
  QByteArray image;
  for (const char* kind = GetParam().memoryKinds; *kind != '\0'; ++kind) {
    image += RecordImage(*kind == 'N' ? 0xFF : uint8_t(*kind), 0, 8, 0, 1);
  }
  const QByteArray text = DecodeText(image, 8, 11);
  QByteArray kinds;
  for (const QByteArray& line : text.split('\n')) {
    if (!line.isEmpty()) kinds += line[0];
  }
  EXPECT_EQ(kinds.left(qsizetype(strlen(GetParam().decodedKinds))), GetParam().decodedKinds);
}

INSTANTIATE_TEST_SUITE_P(Sequences, RecordKinds,
                         testing::Values(KindCase{"wwxwwN", "aaxbbn"}, KindCase{"xwexw", "xbexb"},
                                         KindCase{"wwfw", "aafa"}, KindCase{"abefqw", "abefqa"},
                                         KindCase{"wxwxw", "axbxb"}));

TEST(LogRecordDecoder, CarriesARecordAcrossTheBlockBoundary) {
  // 512 is no multiple of 14: the 37th record starts 8 bytes before the end of block 0.
  const QByteArray record = RecordImage('w', 7, 14, 0x00, 0xD7);
  QByteArray image;
  for (int n = 0; n < 73; ++n) image += record;
  const QByteArray text = DecodeText(image, 14, 4, ".", ',');
  const QList<QByteArray> lines = text.split('\n');
  ASSERT_EQ(lines.size(), 74);
  for (int n = 0; n < 73; ++n) EXPECT_EQ(lines[n], "a;2023;12;03;14;07;21,5;21,5;21,5;21,5;\r") << n;
}

TEST(LogRecordDecoder, LateFieldsOfRuleSixStartAtTheThirdField) {
  const QByteArray record("w\x17\x0C\x03\x0E\x05\x00\xD7\xFF\xFF\x01\x9F\xFF\xFF", 14);
  EXPECT_TRUE(DecodeText(record, 14, 6).startsWith("a;2023;12;03;14;05;21.5;-0.1;415;--;\r\n"));
}

TEST(LogRecordDecoder, ASilentBlockGivesRecordsOfKindZero) {
  QByteArray image = RecordImage('w', 1, 10, 0x15, 0x05);
  image += ErasedMemory(LogBlockSize - image.size());
  image += QByteArray(LogBlockSize, '\0');
  const QByteArray text = DecodeText(image, 10, 1);
  // Block 0 ends inside the 52nd record; the first record that starts in the zero block has kind 0.
  const qsizetype zeroKind = text.indexOf('\0');
  ASSERT_GT(zeroKind, 0);
  EXPECT_EQ(text.mid(zeroKind - 2, 4), QByteArray("\r\n\0;", 4));
}

}  // namespace
