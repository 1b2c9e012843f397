#include <gtest/gtest.h>

#include "files/TypeDetection.h"

namespace {

// What a file named after one device type opens as: the type name, the DeviceCode and RecordLength.
struct OpenCase {
  const char* name;
  int code;
  int recordLength;
};

constexpr OpenCase OpenCases[] = {
    {"AGATE", 21, 10},     {"BASALT", 22, 14},    {"CALCITE", 24, 12},  {"DOLOMITE", 26, 22},
    {"EPIDOTE", 28, 10},   {"FELDSPAR", 25, 14},  {"GARNET", 29, 30},   {"HEMATITE", 23, 18},
    {"IOLITE", 27, 30},    {"JASPER", 31, 8},     {"KYANITE", 32, 8},   {"LAZURITE", 34, 10},
    {"MALACHITE", 36, 10}, {"NEPHRITE", 37, 10},  {"OLIVINE", 33, 10},  {"PYRITE", 38, 12},
    {"QUARTZ", 30, 14},    {"RUTILE", 102, 8},    {"TOPAZ", 43, 8},     {"ULEXITE", 44, 8},
    {"VARISCITE", 45, 30}, {"WAVELLITE", 35, 10}, {"XENOTIME", 46, 8},  {"ZIRCON", 40, 8},
    {"AMBER", 41, 8},      {"BERYL", 47, 8},      {"CINNABAR", 48, 14}, {"DIOPSIDE", 49, 14},
    {"EMERALD", 50, 38},   {"FLUORITE", 51, 10},  {"GALENA", 52, 8},    {"HALITE", 53, 10},
    {"IDOCRASE", 54, 14},  {"JADEITE", 55, 24},   {"KUNZITE", 56, 12},  {"SPINEL", 42, 30},
};

class OpenByTypeName : public testing::TestWithParam<OpenCase> {};

TEST_P(OpenByTypeName, AutomaticFileNameGivesTheNewerCode) {
  const OpenCase& c = GetParam();
  const QString path = QStringLiteral("C:/vald/23.12.03 14.05 VALD_%1.csv").arg(QLatin1String(c.name));
  EXPECT_EQ(DetectDeviceCode(path, 0), c.code);
  const std::optional<DeviceType> type = LookUpOpenDeviceType(c.code);
  ASSERT_TRUE(type);
  EXPECT_STREQ(type->name, c.name);
  EXPECT_EQ(type->recordLength, c.recordLength);
}

TEST_P(OpenByTypeName, UserSavedNameGivesTheSameCode) {
  const OpenCase& c = GetParam();
  EXPECT_EQ(DetectDeviceCode(QStringLiteral("D:\\meres\\januar_%1.csv").arg(QLatin1String(c.name)), 7),
            c.code);
}

INSTANTIATE_TEST_SUITE_P(EveryType, OpenByTypeName, testing::ValuesIn(OpenCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct PathCase {
  const char* label;
  const char* path;
  int currentCode;
  int expectedCode;
};

class DetectFromPath : public testing::TestWithParam<PathCase> {};

TEST_P(DetectFromPath, LastMatchingTestDecides) {
  EXPECT_EQ(DetectDeviceCode(QString::fromUtf8(GetParam().path), GetParam().currentCode),
            GetParam().expectedCode);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, DetectFromPath,
    testing::Values(PathCase{"FolderNamesAnEarlierType", "D:/AGATE.old/23.12.03 14.05 VALD_BASALT.csv", 0,
                             22},
                    PathCase{"FolderNamesALaterType", "D:/TOPAZ.old/23.12.03 14.05 VALD_AGATE.csv", 0, 43},
                    PathCase{"BackslashFolder", "D:\\AGATE.old\\23.12.03 14.05 VALD_BASALT.csv", 0, 22},
                    PathCase{"TwoTypesInTheNameLaterTestWins", "KUNZITE.AGATE.csv", 0, 56},
                    PathCase{"TwoTypesOtherOrder", "AGATE.KUNZITE.csv", 0, 56},
                    PathCase{"SecondPassRunsAfterFirstPass", "RUTILE.SPINEL.csv", 0, 42},
                    PathCase{"NoTypeKeepsCurrentCode", "C:/vald/data.csv", 3, 3},
                    PathCase{"NoTypeRightAfterStartKeepsZero", "data.csv", 0, 0},
                    PathCase{"TypeWithoutDotIsNoMatch", "C:/vald/AGATE_data.csv", 22, 22},
                    PathCase{"CaseAsWritten", "C:/vald/23.12.03 14.05 VALD_agate.csv", 3, 3},
                    PathCase{"NameInsideALongerWord", "C:/vald/SUPERAGATE.csv", 0, 21},
                    PathCase{"OnlyFolderNamesAType", "/home/u/BERYL.d/data.csv", 5, 47},
                    PathCase{"HungarianFolder", "C:/mérés/Eszköz VALD_OLIVINE.csv", 0, 33}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(OpenDeviceType, EveryCodeOfTheTableOpensWithItsRowButTheClimateCodes) {
  for (const DeviceType& row : DeviceTypeTable()) {
    const std::optional<DeviceType> type = LookUpOpenDeviceType(row.code);
    ASSERT_TRUE(type) << row.code;
    EXPECT_STREQ(type->name, row.name);
    EXPECT_EQ(type->fieldType, row.fieldType);
    const bool climate = row.code == 43 || row.code == 44 || row.code == 104 || row.code == 105;
    EXPECT_EQ(type->recordLength, climate ? 8 : row.recordLength) << row.code;
  }
}

TEST(OpenDeviceType, UnknownCodesOpenNothing) {
  for (const int code : {0, 1, 20, 57, 101, 107, 255}) EXPECT_FALSE(LookUpOpenDeviceType(code)) << code;
}

}  // namespace
