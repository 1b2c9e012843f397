#include <gtest/gtest.h>

#include "core/SharedState.h"
#include "core/ValdError.h"
#include "core/Win1250.h"
#include "files/MeasurementFile.h"
#include "files/TypeDetection.h"
#include "files/UserSave.h"
#include "support/TempFolder.h"

namespace {

QDateTime LocalTime(int year, int month, int day, int hour, int minute) {
  return QDateTime(QDate(year, month, day), QTime(hour, minute, 59));
}

struct AutomaticNameCase {
  QDateTime time;
  int code;
  const char* name;
};

class AutomaticName : public testing::TestWithParam<AutomaticNameCase> {};

TEST_P(AutomaticName, TimeThenDeviceType) {
  EXPECT_EQ(AutomaticFileName(GetParam().time, GetParam().code), QString::fromLatin1(GetParam().name));
}

INSTANTIATE_TEST_SUITE_P(
    Names, AutomaticName,
    testing::Values(AutomaticNameCase{LocalTime(2023, 12, 3, 14, 5), 2, "23.12.03 14.05 VALD_AGATE.csv"},
                    AutomaticNameCase{LocalTime(2023, 12, 3, 14, 5), 17, "23.12.03 14.05 VALD_AGATE.csv"},
                    AutomaticNameCase{LocalTime(2009, 1, 2, 0, 0), 46, "09.01.02 00.00 VALD_XENOTIME.csv"},
                    AutomaticNameCase{LocalTime(2100, 10, 31, 23, 59), 50, "00.10.31 23.59 VALD_EMERALD.csv"},
                    AutomaticNameCase{LocalTime(2024, 2, 29, 9, 7), 106,
                                      "24.02.29 09.07 VALD_VARISCITE.csv"}));

TEST(AutomaticName, UnknownDeviceCodeHasNoName) {
  for (const int code : {0, 20, 57, 107}) {
    try {
      AutomaticFileName(LocalTime(2023, 12, 3, 14, 5), code);
      FAIL() << code;
    } catch (const ValdError& e) {
      EXPECT_EQ(e.Message(), QStringLiteral("No device"));
    }
  }
}

class AutomaticSave : public testing::Test {
 protected:
  AutomaticSave() {
    env.programFolder = folder.Path();
    env.now = [this] { return clock; };
    state.DeviceCode = 46;
  }
  TempFolder folder;
  Environment env;
  SharedState state;
  TextLines lines;
  QDateTime clock = LocalTime(2023, 12, 3, 14, 5);
};

TEST_F(AutomaticSave, WritesEveryLineWithCrLfInWindows1250) {
  lines.Add("2023;12;03;14;05;0;" + ToWin1250(QStringLiteral("Kikapcsolás")));
  lines.Add("2023;12;03;14;06;15;" + ToWin1250(QStringLiteral("Kézi csengetés")));
  const QString path = SaveAutomaticMeasurementFile(lines, state.DeviceCode, env);
  EXPECT_EQ(path, folder.File(QStringLiteral("23.12.03 14.05 VALD_XENOTIME.csv")));
  EXPECT_EQ(folder.Read(QStringLiteral("23.12.03 14.05 VALD_XENOTIME.csv")),
            QByteArray("2023;12;03;14;05;0;Kikapcsol\xE1s\r\n2023;12;03;14;06;15;K\xE9zi csenget\xE9s\r\n"));
}

TEST_F(AutomaticSave, EmptyLogGivesAnEmptyFile) {
  SaveAutomaticMeasurementFile(lines, state.DeviceCode, env);
  ASSERT_TRUE(folder.Exists(QStringLiteral("23.12.03 14.05 VALD_XENOTIME.csv")));
  EXPECT_EQ(folder.Read(QStringLiteral("23.12.03 14.05 VALD_XENOTIME.csv")), QByteArray());
}

// The same device read again within the minute replaces its file; another device of the type gets the
// next number of the minute, which opens as that type.
TEST_F(AutomaticSave, SecondReadoutInTheSameMinuteReplacesOnlyItsOwnFile) {
  lines.Add("2023;12;03;14;00;1;");
  lines.Add("2023;12;03;14;04;2;");
  SaveAutomaticMeasurementFile(lines, state.DeviceCode, env);
  lines.Add("2023;12;03;14;05;3;");
  clock = clock.addSecs(-30);
  SaveAutomaticMeasurementFile(lines, state.DeviceCode, env);
  EXPECT_EQ(folder.Read(QStringLiteral("23.12.03 14.05 VALD_XENOTIME.csv")),
            QByteArray("2023;12;03;14;00;1;\r\n2023;12;03;14;04;2;\r\n2023;12;03;14;05;3;\r\n"));

  lines.Clear();
  lines.Add("2023;12;03;14;03;9;");
  const QString other = SaveAutomaticMeasurementFile(lines, state.DeviceCode, env);
  EXPECT_EQ(other, folder.File(QStringLiteral("23.12.03 14.05 (2) VALD_XENOTIME.csv")));
  EXPECT_EQ(DetectDeviceCode(other, 0), 46);
  EXPECT_EQ(folder.Read(QStringLiteral("23.12.03 14.05 VALD_XENOTIME.csv")).count("\r\n"), 3);
}

TEST_F(AutomaticSave, MissingProgramFolderNamesTheFile) {
  env.programFolder = folder.File(QStringLiteral("gone"));
  try {
    SaveAutomaticMeasurementFile(lines, state.DeviceCode, env);
    FAIL();
  } catch (const ValdError& e) {
    EXPECT_TRUE(e.Message().contains(QStringLiteral("gone/23.12.03 14.05 VALD_XENOTIME.csv"))) << e.what();
  }
}

TEST_F(AutomaticSave, ProgramFolderThatIsAFileStaysUntouched) {
  folder.Write(QStringLiteral("prog"), "keep\r\n");
  env.programFolder = folder.File(QStringLiteral("prog"));
  lines.Add("2023;12;03;14;05;1;");
  EXPECT_THROW(SaveAutomaticMeasurementFile(lines, state.DeviceCode, env), ValdError);
  EXPECT_EQ(folder.Read(QStringLiteral("prog")), QByteArray("keep\r\n"));
}

struct UserNameCase {
  const char* label;
  QString chosen;
  QByteArray deviceLabel;
  QString written;
};

class UserName : public testing::TestWithParam<UserNameCase> {};

TEST_P(UserName, StemUnderscoreDeviceLabel) {
  EXPECT_EQ(UserSaveFileName(GetParam().chosen, GetParam().deviceLabel), GetParam().written);
}

INSTANTIATE_TEST_SUITE_P(
    Names, UserName,
    testing::Values(
        UserNameCase{"DefaultExtension", "D:/meres/januar.csv", "AGATE", "D:/meres/januar_AGATE.csv"},
        UserNameCase{"OtherExtension", "D:/meres/januar.txt", "AGATE", "D:/meres/januar_AGATE.csv"},
        UserNameCase{"TwoLetterExtension", "ab.cd", "AGATE", "a_AGATE.csv"},
        UserNameCase{"NoReadoutYet", "/m/x.csv", "Eszk\xF6z neve", QStringLiteral("/m/x_Eszköz neve.csv")},
        UserNameCase{"UnknownDevice", "/m/x.csv", "No device", "/m/x_No device.csv"},
        UserNameCase{"ShorterThanFourCharacters", "a.c", "BERYL", "_BERYL.csv"},
        UserNameCase{"BackslashPath", "D:\\meres\\feb.csv", "TOPAZ", "D:\\meres\\feb_TOPAZ.csv"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(UserSave, WritesTheLogUnderTheDerivedName) {
  TempFolder folder;
  TextLines lines;
  lines.Add("2023;12;03;14;05;21,5;20,0;");
  lines.Add("2023;12;03;14;10;--;20,1;");
  const QString written = SaveUserMeasurementFile(lines, "AGATE", folder.File(QStringLiteral("januar.csv")));
  EXPECT_EQ(written, folder.File(QStringLiteral("januar_AGATE.csv")));
  EXPECT_EQ(folder.Read(QStringLiteral("januar_AGATE.csv")),
            QByteArray("2023;12;03;14;05;21,5;20,0;\r\n2023;12;03;14;10;--;20,1;\r\n"));
  EXPECT_FALSE(folder.Exists(QStringLiteral("januar.csv")));
}

TEST(UserSave, NonAsciiDeviceLabelBecomesTheFileName) {
  TempFolder folder;
  TextLines lines;
  SaveUserMeasurementFile(lines, ToWin1250(QStringLiteral("Eszköz neve")),
                          folder.File(QStringLiteral("a.csv")));
  EXPECT_TRUE(folder.Exists(QStringLiteral("a_Eszköz neve.csv")));
  EXPECT_EQ(folder.Read(QStringLiteral("a_Eszköz neve.csv")), QByteArray());
}

TEST(UserSave, FailedWritesNameTheFileAndLeaveFilesAlone) {
  TempFolder folder;
  folder.Write(QStringLiteral("plain"), "old\r\n");
  TextLines lines;
  lines.Add("new;");
  for (const QString& chosen :
       {folder.File(QStringLiteral("missing/januar.csv")), folder.File(QStringLiteral("plain/januar.csv"))}) {
    try {
      SaveUserMeasurementFile(lines, "AGATE", chosen);
      FAIL() << chosen.toStdString();
    } catch (const ValdError& e) {
      EXPECT_TRUE(e.Message().contains(QStringLiteral("januar_AGATE.csv"))) << e.what();
    }
  }
  EXPECT_EQ(folder.Read(QStringLiteral("plain")), QByteArray("old\r\n"));
}

}  // namespace
