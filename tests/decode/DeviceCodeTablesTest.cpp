#include <gtest/gtest.h>

#include "decode/DeviceCatalogue.h"
#include "files/TypeDetection.h"
#include "views/PageLayouts.h"

// Everything keyed by a DeviceCode reads the one catalogue row of that code.
namespace {

TEST(DeviceCatalogue, PageLayoutsFollowTheRowsPageFamily) {
  for (int code = 0; code <= 255; ++code) {
    const DeviceType* type = FindDeviceType(code);
    EXPECT_EQ(LookUpPageLayout(code).has_value(), type && type->family != PageFamily::None) << code;
  }
}

// A file named after a row opens as the last row of that name in test order: the first pass, then the
// second, each in code order.
TEST(DeviceCatalogue, TypeDetectionFindsTheLastRowOfTheNameInTestOrder) {
  for (const DeviceType& row : DeviceTypeTable()) {
    int expected = 0;
    for (const DetectionPass pass : {DetectionPass::First, DetectionPass::Second}) {
      for (const DeviceType& other : DeviceTypeTable()) {
        if (other.pass == pass && QByteArray(other.name) == row.name) expected = other.code;
      }
    }
    const QString path =
        QStringLiteral("C:/vald/23.12.03 14.05") + QString::fromLatin1(MeasurementFileSuffix(row));
    EXPECT_EQ(DetectDeviceCode(path, 0), expected) << row.code;
  }
  // A plain type name opens with the newer record encoding.
  EXPECT_EQ(DetectDeviceCode(QStringLiteral("x VALD_AGATE.csv"), 0), 21);
  EXPECT_EQ(DetectDeviceCode(QStringLiteral("x VALD_SPINEL.csv"), 0), 42);
}

TEST(DeviceCatalogue, EveryColumnHasAQuantityWithAKeyAndLabels) {
  for (const DeviceType& row : DeviceTypeTable()) {
    for (const char letter : row.columns) {
      const Quantity& quantity = QuantityOf(letter);
      EXPECT_EQ(quantity.letter, letter) << row.code;
      EXPECT_STRNE(quantity.key, "") << row.code;
      EXPECT_STRNE(quantity.labelHu, "") << row.code;
    }
  }
  EXPECT_STREQ(QuantityOf(FindDeviceType(50)->columns[4]).key, "pm2_5");
  EXPECT_EQ(QuantityOf(FindDeviceType(55)->columns[0]).scale, 0.1);
}

}  // namespace
