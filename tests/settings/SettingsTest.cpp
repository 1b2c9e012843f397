#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>

#include "core/EditedTextFile.h"
#include "core/ValdError.h"
#include "operations/SettingsApplication.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"
#include "settings/WindowPlacement.h"
#include "support/LargeFiles.h"
#include "support/TempFolder.h"

namespace {

TextLines Lines(const QByteArray& text) {
  TextLines lines;
  lines.SetText(text);
  return lines;
}

struct ReadCase {
  const char* name;
  QByteArray text;
  QByteArray key;
  std::optional<QByteArray> value;
};

class SettingRead : public testing::TestWithParam<ReadCase> {};

TEST_P(SettingRead, FindsTheFirstLineOfTheKey) {
  EXPECT_EQ(ReadSetting(Lines(GetParam().text), GetParam().key), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, SettingRead,
    testing::Values(ReadCase{"ExactKey", "UDPport=7000", "UDPport", "7000"},
                    ReadCase{"KeyCaseIgnored", "udpport=7000", "UDPport", "7000"},
                    ReadCase{"BlankBeforeEqualsIsAnotherKey", "UDPport =7000", "UDPport", std::nullopt},
                    ReadCase{"BlanksAfterEqualsKept", "ip1= 10.0.0.1 ", "ip1", " 10.0.0.1 "},
                    ReadCase{"EmptyValueIsAbsent", "ip1=", "ip1", std::nullopt},
                    ReadCase{"FirstLineWins", "ip1=a\nIP1=b", "ip1", "a"},
                    ReadCase{"ValueMayHoldEquals", "ip1=a=b", "ip1", "a=b"},
                    ReadCase{"LineWithoutEqualsIsNoKey", "ip1\nip1=x", "ip1", "x"},
                    ReadCase{"PrefixIsNotTheKey", "ip10=x", "ip1", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

struct WriteCase {
  const char* name;
  QByteArray before;
  QByteArray key;
  QByteArray value;
  QByteArray after;
};

class SettingWrite : public testing::TestWithParam<WriteCase> {};

TEST_P(SettingWrite, ReplacesAppendsOrDeletes) {
  TextLines lines = Lines(GetParam().before);
  WriteSetting(lines, GetParam().key, GetParam().value);
  EXPECT_EQ(lines.Text(), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, SettingWrite,
    testing::Values(
        WriteCase{"ReplaceInPlace", "; note\r\nIP3=a\r\nx=1", "ip3", "b", "; note\r\nip3=b\r\nx=1\r\n"},
        WriteCase{"AppendAtEnd", "; note\r\n\r\nx=1", "ip3", "b", "; note\r\n\r\nx=1\r\nip3=b\r\n"},
        WriteCase{"EmptyDeletes", "a=1\r\nip3=old\r\nb=2", "ip3", "", "a=1\r\nb=2\r\n"},
        WriteCase{"EmptyForAbsentKeyChangesNothing", "a=1", "ip3", "", "a=1\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

// Start-up with a given cfg.ini in a fresh program folder.
struct Startup {
  TempFolder folder;
  SharedState state;
  WindowModel view;
  DeviceLink link;
  Environment env;

  explicit Startup(const QByteArray& cfg, char systemSeparator = ',') {
    env.programFolder = folder.Path();
    env.systemDecimalSeparator = systemSeparator;
    folder.Write("cfg.ini", cfg);
  }
  QString Run() {
    try {
      RunCreationStep(state, view, link, env);
    } catch (const ValdError& e) {
      return e.Message();
    }
    return {};
  }
  std::pair<double, double> Axis(int page) const {
    return {view.pages[page].chart.axisMinimum, view.pages[page].chart.axisMaximum};
  }
};

TEST(SettingsApply, EmptyFileKeepsDesignValuesButTakesTheAxesFromTheControls) {
  Startup s("");
  EXPECT_EQ(s.Run(), QString());
  EXPECT_EQ(s.view.statusPanels[5], QByteArray("6262"));
  EXPECT_EQ(s.view.geometry, QRect(351, 98, 1399, 795));
  EXPECT_EQ(s.view.eeAddrEdit, QByteArray("$1100"));
  for (int page = 0; page < 4; ++page) EXPECT_EQ(s.Axis(page), std::make_pair(10.0, 40.0));
  EXPECT_EQ(s.state.DecimalSeparatorText, QByteArray(","));
}

TEST(SettingsApply, EveryKeyReachesItsControl) {
  Startup s(
      "udpport=7000\r\nLeft=10\nTop=$20\rWidth=800\r\nHeight=600\r\nip1=10.0.0.5\r\nip5=dev5\r\n"
      "DecimalSeparator=.\r\neeaddr=$1200\r\nTop2=100\r\nBottom2=-50\r\nIncrement=7\r\n");
  EXPECT_EQ(s.Run(), QString());
  EXPECT_EQ(s.link.port, 7000);
  EXPECT_EQ(s.view.statusPanels[5], QByteArray("7000"));
  EXPECT_EQ(s.view.geometry, QRect(10, 32, 800, 600));
  EXPECT_EQ(s.view.addressEdits[0], QByteArray("10.0.0.5"));
  EXPECT_EQ(s.view.addressEdits[4], QByteArray("dev5"));
  EXPECT_EQ(s.state.DecimalSeparatorText, QByteArray("."));
  EXPECT_EQ(s.view.eeAddrEdit, QByteArray("$1200"));
  EXPECT_EQ(s.Axis(PageH), std::make_pair(-50.0, 100.0));
  for (const auto& page : s.view.pages) {
    EXPECT_EQ(page.upDnMin.step, 7);
    EXPECT_EQ(page.upDnMax.step, 7);
  }
}

TEST(SettingsApply, MinimumNotBelowMaximumPushesTheMaximumTenAbove) {
  Startup s("Top1=20\r\nBottom1=30\r\n");
  s.Run();
  EXPECT_EQ(s.Axis(PageT), std::make_pair(30.0, 40.0));
  EXPECT_EQ(s.view.pages[PageT].upDnMax.position, 40);
}

TEST(SettingsApply, NonNumberStopsTheApplyAtThatKey) {
  Startup s("Top1=abc\r\nBottom1=0\r\nip1=before\r\n");
  EXPECT_EQ(s.Run(), QStringLiteral("'abc' is not a valid integer value"));
  EXPECT_EQ(s.view.addressEdits[0], QByteArray("before"));
  EXPECT_EQ(s.view.pages[PageT].upDnMin.position, 10);
  for (int page = 0; page < 4; ++page) EXPECT_EQ(s.Axis(page), std::make_pair(-200.0, 1000.0));
  EXPECT_TRUE(s.view.developerPageVisible);
  EXPECT_EQ(s.view.labelDevice, WindowModel().labelDevice);
}

TEST(SettingsApply, MissingFileAppliesNothing) {
  Startup s("");
  QFile::remove(s.folder.File("cfg.ini"));
  EXPECT_TRUE(s.Run().contains(QStringLiteral("cfg.ini")));
  EXPECT_EQ(s.Axis(PageT), std::make_pair(-200.0, 1000.0));
  EXPECT_EQ(s.state.SettingsLines.Count(), 0);
}

TEST(SettingsApply, PositionsOutsideTheRangeAreClamped) {
  Startup s("Bottom1=-5000\r\nTop1=40000\r\nBottom3=32000\r\nTop3=32000\r\n");
  s.Run();
  EXPECT_EQ(s.Axis(PageT), std::make_pair(-3200.0, 32000.0));
  EXPECT_EQ(s.Axis(PageC), std::make_pair(31990.0, 32000.0));
}

TEST(SettingsApply, AbsentKeysKeepCurrentValuesWhenRunAgain) {
  Startup s("DecimalSeparator=.\r\nip2=a\r\n");
  s.Run();
  s.folder.Write("cfg.ini", "Left=10\r\n");
  s.Run();
  EXPECT_EQ(s.state.DecimalSeparatorText, QByteArray("."));
  EXPECT_EQ(s.view.addressEdits[1], QByteArray("a"));
  EXPECT_EQ(s.view.geometry.left(), 10);
}

TEST(SettingsApply, MarkerFileShowsTheDeveloperPage) {
  Startup without("");
  without.Run();
  EXPECT_FALSE(without.view.developerPageVisible);
  Startup with("");
  with.folder.Write("Tool7.dev", "");
  with.Run();
  EXPECT_TRUE(with.view.developerPageVisible);
}

struct EditedFileCase {
  const char* name;
  QByteArray cfg;
  const char* error;  // CFG stands for cfg.ini's path; empty: the file is applied
};

class EditedSettingsFile : public testing::TestWithParam<EditedFileCase> {};

TEST_P(EditedSettingsFile, ByteOrderMarkIsSkippedAndUnreadableLinesRefusedWithNothingLost) {
  const EditedFileCase& c = GetParam();
  Startup s(c.cfg);
  EXPECT_EQ(s.Run(), QString::fromLatin1(c.error).replace(QStringLiteral("CFG"), s.folder.File("cfg.ini")));
  if (*c.error == '\0') {
    EXPECT_EQ(s.link.port, 7000);
    return;
  }
  EXPECT_EQ(s.link.port, DeviceLink::DefaultPort);
  EXPECT_EQ(s.Axis(PageT), std::make_pair(-200.0, 1000.0));
  // The next save writes the file back as it was.
  EXPECT_EQ(s.state.SettingsLines.Text(), c.cfg);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, EditedSettingsFile,
    testing::Values(EditedFileCase{"ByteOrderMarkSkipped",
                                   "\xEF\xBB\xBF"
                                   "UDPport=7000\r\n",
                                   ""},
                    EditedFileCase{"LineOf1024BytesTaken",
                                   "; " + QByteArray(1022, 'x') + "\r\nUDPport=7000\r\n", ""},
                    EditedFileCase{"NulByteRefused",
                                   QByteArrayLiteral("UDPport=7000\r\nip1=127.0.2.3\0evil\r\nLeft=10\r\n"),
                                   "CFG line 2: the line holds a NUL byte"},
                    EditedFileCase{"LongerLineRefused", "UDPport=7000\r\n; " + QByteArray(1023, 'x') + "\r\n",
                                   "CFG line 2: the line is longer than 1024 bytes"}),
    [](const auto& info) { return std::string(info.param.name); });

// A cfg.ini is read up to the size limit: one at it is applied; a larger one, or a device that gives
// bytes without end, is refused at start as a missing one is, and no save writes the window's few
// settings over it.
TEST(SettingsLoad, AFileBeyondTheSizeLimitIsRefusedAndNotWrittenOver) {
  Startup atLimit(CommentsUpTo("UDPport=7000\r\n", MaxEditedFileBytes));
  EXPECT_EQ(atLimit.Run(), QString());
  EXPECT_EQ(atLimit.link.port, 7000);

  Startup beyond(CommentsUpTo("UDPport=7000\r\n", MaxEditedFileBytes + 1));
  const QString path = beyond.folder.File("cfg.ini");
  EXPECT_EQ(beyond.Run(),
            QStringLiteral("Cannot read file \"%1\". It is larger than 16777216 bytes.").arg(path));
  EXPECT_EQ(beyond.link.port, DeviceLink::DefaultPort);
  StoreTimerSettings(beyond.state, beyond.view);
  SaveSettingsFile(beyond.state, beyond.env);
  EXPECT_EQ(QFileInfo(path).size(), MaxEditedFileBytes + 1);

  Startup endless("");
  const QString device = endless.folder.File("cfg.ini");
  ASSERT_TRUE(QFile::remove(device) && QFile::link(QStringLiteral("/dev/zero"), device));
  EXPECT_EQ(endless.Run(),
            QStringLiteral("Cannot read file \"%1\". It is larger than 16777216 bytes.").arg(device));
}

TEST(SettingsSave, TimerKeysAreWrittenInPlaceAndEmptyAddressesDeleted) {
  Startup s("; keep me\r\nip3=old\r\nUDPport=7000\r\nDecimalSeparator=,\r\n");
  s.Run();
  s.view.addressEdits[0] = "10.1.1.1";
  s.view.addressEdits[2] = "";
  s.view.pages[PageV].upDnMax.position = 55;
  StoreTimerSettings(s.state, s.view);
  SaveSettingsFile(s.state, s.env);
  EXPECT_EQ(s.folder.Read("cfg.ini"),
            QByteArray("; keep me\r\nUDPport=7000\r\nDecimalSeparator=,\r\nip1=10.1.1.1\r\neeaddr=$1100\r\n"
                       "Top1=40\r\nBottom1=10\r\nTop2=40\r\nBottom2=10\r\nTop3=40\r\nBottom3=10\r\n"
                       "Top4=55\r\nBottom4=10\r\nIncrement=5\r\n"));
}

TEST(SettingsSave, GeometryKeysComeFromTheWindow) {
  Startup s("");
  s.Run();
  s.view.geometry = QRect(1, 2, 3, 4);
  StoreGeometrySettings(s.state, s.view);
  EXPECT_EQ(s.state.SettingsLines.Text(), QByteArray("Left=1\r\nTop=2\r\nWidth=3\r\nHeight=4\r\n"));
}

TEST(SettingsSave, FailedWriteKeepsTheOldFile) {
  Startup s("ip1=a\r\n");
  s.Run();
  s.env.programFolder = s.folder.File("missing");
  EXPECT_THROW(SaveSettingsFile(s.state, s.env), ValdError);
  EXPECT_EQ(s.folder.Read("cfg.ini"), QByteArray("ip1=a\r\n"));
}

struct PlacementCase {
  const char* name;
  Placement placement;
  QSize screen;
  QRect geometry;
};

class WindowPlacementTest : public testing::TestWithParam<PlacementCase> {};

TEST_P(WindowPlacementTest, Geometry) {
  EXPECT_EQ(PlacementGeometry(GetParam().placement, GetParam().screen), GetParam().geometry);
}

INSTANTIATE_TEST_SUITE_P(
    Screens, WindowPlacementTest,
    testing::Values(
        PlacementCase{"Default1920", Placement::Default, {1920, 1080}, {240, 135, 1440, 810}},
        PlacementCase{"LeftHalf1920", Placement::LeftHalf, {1920, 1080}, {0, 0, 960, 1052}},
        PlacementCase{"RightHalf1920", Placement::RightHalf, {1920, 1080}, {960, 0, 960, 1052}},
        PlacementCase{"TopLeft1920", Placement::TopLeftQuarter, {1920, 1080}, {0, 0, 960, 526}},
        PlacementCase{"TopRight1920", Placement::TopRightQuarter, {1920, 1080}, {960, 0, 960, 526}},
        PlacementCase{"BottomLeft1920", Placement::BottomLeftQuarter, {1920, 1080}, {0, 526, 960, 526}},
        PlacementCase{"BottomRight1920", Placement::BottomRightQuarter, {1920, 1080}, {960, 526, 960, 526}},
        PlacementCase{"Default1366HalfGoesToEven", Placement::Default, {1366, 768}, {171, 96, 1024, 576}},
        PlacementCase{"LeftHalf1366", Placement::LeftHalf, {1366, 768}, {0, 0, 683, 748}},
        PlacementCase{"BottomRight1366", Placement::BottomRightQuarter, {1366, 768}, {683, 374, 683, 374}}),
    [](const auto& info) { return std::string(info.param.name); });

struct StartupCase {
  const char* name;
  QRect geometry;
  bool positionStored;
  QList<QRect> screens;
  QRect expected;
};

class StartupGeometryTest : public testing::TestWithParam<StartupCase> {};

// The window opens where the user can reach it: an unstored geometry within the available area, a
// stored one unless it lies off every screen.
TEST_P(StartupGeometryTest, Geometry) {
  EXPECT_EQ(StartupGeometry(GetParam().geometry, GetParam().positionStored, GetParam().screens),
            GetParam().expected);
}

const QRect Design{351, 98, 1399, 795};
const QRect Laptop{0, 0, 1600, 1000};
const QRect LaptopWithPanel{0, 32, 1600, 968};
const QRect RightScreen{1600, 0, 1920, 1080};

INSTANTIATE_TEST_SUITE_P(
    Screens, StartupGeometryTest,
    testing::Values(
        StartupCase{"DesignFitsFullHd", Design, false, {{0, 0, 1920, 1040}}, Design},
        StartupCase{"DesignCentredOn1600", Design, false, {Laptop}, {100, 102, 1399, 795}},
        StartupCase{"ShrunkToASmallScreen", Design, false, {{0, 30, 1024, 738}}, {0, 30, 1024, 738}},
        StartupCase{"UnderAPanel", {0, 0, 800, 600}, false, {LaptopWithPanel}, {400, 216, 800, 600}},
        StartupCase{"WithinASecondScreen",
                    {1700, 50, 1399, 795},
                    false,
                    {Laptop, RightScreen},
                    {1700, 50, 1399, 795}},
        StartupCase{"StoredPartlyOffStays", Design, true, {Laptop}, Design},
        StartupCase{"StoredOnASecondScreenStays",
                    {2000, 100, 800, 600},
                    true,
                    {Laptop, RightScreen},
                    {2000, 100, 800, 600}},
        StartupCase{
            "StoredOffEveryScreenComesBack", {2000, 100, 800, 600}, true, {Laptop}, {400, 200, 800, 600}},
        StartupCase{"StoredCornerOnlyComesBack", {1560, 960, 800, 600}, true, {Laptop}, {400, 200, 800, 600}},
        StartupCase{
            "StoredAboveTheScreenComesBack", {100, -2000, 1920, 1200}, true, {Laptop}, {0, 0, 1600, 1000}},
        StartupCase{"StoredNarrowOnTheScreenStays", {351, 98, 1, 795}, true, {Laptop}, {351, 98, 1, 795}},
        StartupCase{"NoScreenKnownLeavesIt", Design, true, {}, Design}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
