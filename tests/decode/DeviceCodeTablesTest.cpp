#include <gtest/gtest.h>

#include <algorithm>

#include "decode/DeviceCatalogue.h"
#include "files/TypeDetection.h"
#include "views/PageLayouts.h"

// Every table keyed by DeviceCode knows the codes of the device type table, and only those, save the
// exceptions named here.
namespace {

// Device codes without a page layout. 11: its records hold two values the window does not chart, so
// it shows no pages and no summary for them.
constexpr int CodesWithoutPageLayout[] = {11};

// Device codes that share their type name with a code tested later by type detection: a file named
// after them opens as that later code, the newer record encoding of the same device type.
struct OpensAs {
  int code;
  int detectedCode;
};
constexpr OpensAs OpensAsLaterCode[] = {
    {2, 21},  {3, 22},  {4, 24},  {5, 26},   {6, 28},   {7, 25},   {8, 29},   {9, 23},
    {10, 27}, {11, 31}, {12, 32}, {13, 34},  {14, 36},  {15, 37},  {16, 33},  {17, 21},
    {18, 38}, {19, 30}, {39, 46}, {103, 42}, {104, 43}, {105, 44}, {106, 45},
};

TEST(DeviceCodeTables, PageLayoutsAndSimulatorCoverTheDeviceTable) {
  for (int code = 0; code <= 255; ++code) {
    const std::optional<DeviceType> type = LookUpDeviceType(code);
    const bool withoutPages =
        std::ranges::find(CodesWithoutPageLayout, code) != std::end(CodesWithoutPageLayout);
    EXPECT_EQ(LookUpPageLayout(code).has_value(), type && !withoutPages) << code;
  }
  for (int code : CodesWithoutPageLayout) EXPECT_TRUE(LookUpDeviceType(code)) << code;
}

TEST(DeviceCodeTables, TypeDetectionFindsEveryCodeFromItsFileNameOrALaterCode) {
  for (const DeviceType& row : DeviceTypeTable()) {
    const auto* later = std::ranges::find(OpensAsLaterCode, row.code, &OpensAs::code);
    const int expected = later == std::end(OpensAsLaterCode) ? row.code : later->detectedCode;
    const QString path =
        QStringLiteral("C:/vald/23.12.03 14.05") + QString::fromLatin1(MeasurementFileSuffix(row));
    EXPECT_EQ(DetectDeviceCode(path, 0), expected) << row.code;
  }
  for (const OpensAs& exception : OpensAsLaterCode)
    EXPECT_TRUE(LookUpDeviceType(exception.code)) << exception.code;
}

}  // namespace
