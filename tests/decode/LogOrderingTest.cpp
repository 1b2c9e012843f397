#include <gtest/gtest.h>

#include "LogImage.h"

namespace {

QByteArray AgateLine(uint8_t minute) {
  return QByteArray("2023;12;03;14;") + QByteArray::number(minute).rightJustified(2, '0') + ";21,5;21,5;";
}

TEST(LogOrdering, TheExampleRecordBecomesTheFirstMeasurementLine) {
  const SharedState state =
      ReadImage(QByteArray("\x77\x17\x0C\x03\x0E\x05\x15\x05\x14\x00", 10) + ErasedMemory(502));
  EXPECT_EQ(state.DecodedLines.Get(0), "a;2023;12;03;14;05;21,5;20,0;");
  EXPECT_EQ(ShownLines(state).Lines(), QList<QByteArray>{"2023;12;03;14;05;21,5;20,0;"});
}

struct OrderingCase {
  const char* name;
  std::vector<std::pair<char, uint8_t>> records;
  std::vector<uint8_t> orderedMinutes;
};

void PrintTo(const OrderingCase& c, std::ostream* os) {
  *os << c.name;
}

class RingOrder : public testing::TestWithParam<OrderingCase> {};

TEST_P(RingOrder, PutsTheRecordsAfterTheTurnFirst) {
  QByteArray image;
  for (const auto& [kind, minute] : GetParam().records)
    image += RecordImage(uint8_t(kind), minute, 10, 0x15, 0x05);
  const SharedState state = ReadImage(image + ErasedMemory(2 * LogBlockSize - int(image.size())));
  QList<QByteArray> expected;
  for (uint8_t minute : GetParam().orderedMinutes) expected.append(AgateLine(minute));
  EXPECT_EQ(ShownLines(state).Lines(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, RingOrder,
    testing::Values(
        OrderingCase{"WrappedRing", {{'w', 3}, {'w', 4}, {'x', 9}, {'w', 1}, {'w', 2}}, {1, 2, 3, 4}},
        OrderingCase{"FullEndDropsTheTurnedRecords", {{'w', 1}, {'w', 2}, {'f', 9}, {'w', 8}}, {1, 2}},
        OrderingCase{"FullEndAfterTheTurn", {{'w', 3}, {'x', 9}, {'w', 1}, {'f', 9}, {'w', 8}}, {3}},
        OrderingCase{"EndStopsBothPasses", {{'x', 9}, {'w', 1}, {'e', 9}, {'w', 8}}, {1}},
        OrderingCase{"UnknownKindsAreSkipped", {{'w', 1}, {'q', 9}, {'a', 2}, {'b', 3}}, {3, 1, 2}},
        OrderingCase{"NoRecords", {}, {}}),
    [](const auto& info) { return info.param.name; });

TEST(LogOrdering, ARecordOfKindZeroEndsTheDecodedLines) {
  QByteArray image =
      RecordImage('w', 1, 10, 0x15, 0x05) + QByteArray(10, '\0') + RecordImage('w', 2, 10, 0x15, 0x05);
  const SharedState state = ReadImage(image + ErasedMemory(LogBlockSize - int(image.size())));
  EXPECT_EQ(state.DecodedLines.Lines(), QList<QByteArray>{"a;" + AgateLine(1)});
  EXPECT_EQ(ShownLines(state).Lines(), QList<QByteArray>{AgateLine(1)});
}

TEST(LogOrdering, AnEmptyLogGivesNoLines) {
  const SharedState state = ReadImage(QByteArray(2 * LogBlockSize, '\0'));
  EXPECT_TRUE(state.DecodedLines.IsEmpty());
  EXPECT_TRUE(ShownLines(state).IsEmpty());
}

TEST(LogOrdering, AFullSmallChipOfEightByteRecordsEndsWithAnEmptyLine) {
  QByteArray image;
  for (int n = 0; n < 2048; ++n) image += RecordImage('w', uint8_t(n % 60), 8, 0x15, 0x05);
  const SharedState state = ReadImage(image, 8, 1);
  ASSERT_EQ(state.DecodedLines.Count(), 2049);
  EXPECT_EQ(state.DecodedLines.Get(2047), "a;2023;12;03;14;07;21,5;");
  EXPECT_EQ(state.DecodedLines.Get(2048), "");
  EXPECT_EQ(ShownLines(state).Count(), 2048);
}

TEST(LogOrdering, APartialLastRecordKeepsItsTimeStampColumns) {
  // 32 blocks of 10-byte records: 1638 whole records and 4 bytes of a last one.
  QByteArray image;
  while (image.size() < 32 * LogBlockSize) image += RecordImage('w', 5, 10, 0x15, 0x05);
  const SharedState state = ReadImage(image.left(32 * LogBlockSize));
  ASSERT_EQ(state.DecodedLines.Count(), 1639);
  EXPECT_EQ(state.DecodedLines.Get(1638), "a;2023;12;03;");
  EXPECT_EQ(ShownLines(state).Count(), 1639);
  EXPECT_EQ(ShownLines(state).Get(1638), "2023;12;03;");
}

}  // namespace
