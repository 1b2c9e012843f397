#include <gtest/gtest.h>

#include "decode/DeviceCatalogue.h"

namespace {

class UnknownDeviceCodes : public testing::TestWithParam<int> {};

TEST_P(UnknownDeviceCodes, HaveNoRow) {
  EXPECT_FALSE(LookUpDeviceType(GetParam()).has_value());
}

INSTANTIATE_TEST_SUITE_P(Codes, UnknownDeviceCodes, testing::Values(-1, 0, 1, 20, 57, 101, 107, 255, 256));

TEST(DeviceTypes, EveryRowIsFoundByItsCodeAndHasWholeFields) {
  EXPECT_EQ(DeviceTypeTable().size(), 59u);
  for (const DeviceType& row : DeviceTypeTable()) {
    const auto found = LookUpDeviceType(row.code);
    ASSERT_TRUE(found.has_value()) << row.code;
    EXPECT_STREQ(found->name, row.name);
    EXPECT_EQ((row.recordLength - 6) % 2, 0) << row.code;
    EXPECT_GE(row.recordLength, 8) << row.code;
  }
}

TEST(DeviceTypes, SharedNamesDifferInTheirEncoding) {
  for (int code : {2, 17, 21}) {
    EXPECT_STREQ(LookUpDeviceType(code)->name, "AGATE");
    EXPECT_EQ(MeasurementFileSuffix(*LookUpDeviceType(code)), " VALD_AGATE.csv");
  }
  EXPECT_EQ(LookUpDeviceType(2)->fieldType, 1);
  EXPECT_EQ(LookUpDeviceType(17)->fieldType, 3);
  EXPECT_EQ(LookUpDeviceType(21)->fieldType, 10);
  const DeviceType bell39 = *LookUpDeviceType(39), bell46 = *LookUpDeviceType(46);
  EXPECT_STREQ(bell39.name, bell46.name);
  EXPECT_EQ(bell39.recordLength, bell46.recordLength);
  EXPECT_EQ(bell39.fieldType, bell46.fieldType);
}

TEST(DeviceTypes, ChipCodesGiveBlocksTextAndCapacity) {
  EXPECT_EQ(ChipBlockCount(1).blockCount, 32);
  EXPECT_STREQ(ChipBlockCount(1).chipText, "25LC254");
  EXPECT_EQ(ChipBlockCount(1).logCapacityBytes, 16320);
  EXPECT_EQ(ChipBlockCount(2).blockCount, 96);
  EXPECT_STREQ(ChipBlockCount(2).chipText, "25LC512");
  EXPECT_EQ(ChipBlockCount(2).logCapacityBytes, 49024);
  for (int unknown : {0, 3, 255}) {
    EXPECT_EQ(ChipBlockCount(unknown).blockCount, 96);
    EXPECT_EQ(ChipBlockCount(unknown).chipText, nullptr);
    EXPECT_EQ(ChipBlockCount(unknown).logCapacityBytes, 0);
  }
}

}  // namespace
