#include "core/DataFolder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

#include "support/TempFolder.h"
#include "support/UnwritableFolder.h"

namespace {

const QString UserFolder = QStringLiteral("/home/anna/.local/share/vald_csv");

struct ChoiceCase {
  const char* label;
  bool executableFolderWritable;
  QString appDataLocation;
  QString expected;
};

class DataFolderChoice : public testing::TestWithParam<ChoiceCase> {};

TEST_P(DataFolderChoice, FollowsTheUse) {
  const ChoiceCase& c = GetParam();
  EXPECT_EQ(ChooseDataFolder(QStringLiteral("/opt/vald"), c.executableFolderWritable, c.appDataLocation),
            c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, DataFolderChoice,
    testing::Values(ChoiceCase{"Portable", true, UserFolder, QStringLiteral("/opt/vald")},
                    ChoiceCase{"Installed", false, UserFolder, UserFolder},
                    ChoiceCase{"InstalledWithoutAHome", false, QString(), QStringLiteral("/opt/vald")}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(FolderAcceptsFiles, ProbesWithARealFileAndLeavesNothingBehind) {
  TempFolder writable;
  EXPECT_TRUE(FolderAcceptsFiles(writable.Path()));
  EXPECT_TRUE(QDir(writable.Path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
  UnwritableFolder unwritable;
  EXPECT_FALSE(FolderAcceptsFiles(unwritable.Path()));
  EXPECT_FALSE(FolderAcceptsFiles(writable.File(QStringLiteral("missing"))));
}

TEST(PrepareDataFolder, CreatesTheUsersFolderOnlyForAnInstalledCopy) {
  TempFolder home;
  const QString appData = home.File(QStringLiteral("share/vald_csv"));
  TempFolder portable;
  EXPECT_EQ(PrepareDataFolder(portable.Path(), appData), portable.Path());
  EXPECT_FALSE(QFileInfo::exists(appData));

  UnwritableFolder installed;
  EXPECT_EQ(PrepareDataFolder(installed.Path(), appData), appData);
  EXPECT_TRUE(QFileInfo(appData).isDir());
  EXPECT_EQ(PrepareDataFolder(installed.Path(), appData), appData);
}

}  // namespace
