#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <map>

#include "core/ValdError.h"
#include "files/MeasurementFile.h"
#include "files/UserSave.h"
#include "link/LinkTestSupport.h"
#include "operations/ServiceTools.h"
#include "settings/Settings.h"
#include "support/FileSizeLimit.h"
#include "support/TempFolder.h"

// Every writer of the program's files refuses a write it cannot complete: the user reads which file
// and why, and the folder is left exactly as it was, old file and all, with no half-written file and
// no temporary file beside it.

namespace {

const QDateTime SaveTime(QDate(2023, 12, 3), QTime(14, 5));
const QByteArray Identity = "00:1A:2B:3C:4D:5E;SN0001;R-17;AGATE;v2.3;c1";

// A log of `count` AGATE lines, long enough that a write goes through several buffers.
TextLines AgateLog(int count) {
  TextLines lines;
  for (int i = 0; i < count; ++i) {
    lines.Add("2023;12;03;" + QByteArray::number(i % 24).rightJustified(2, '0') + ";05;21,5;" +
              QByteArray::number(i) + ",0;");
  }
  return lines;
}

// A registration list of `count` devices.
QByteArray SalesList(int count) {
  TextLines lines;
  lines.Add("date;mac addr;serial;reg number;device;version;config;");
  for (int i = 0; i < count; ++i) {
    lines.Add("24.01.02;00:00:00:00:" + QByteArray::number(i / 256 % 256, 16).rightJustified(2, '0') + ':' +
              QByteArray::number(i % 256, 16).rightJustified(2, '0') + ";SN" + QByteArray::number(i) +
              ";R-1;AGATE;v2.3;c1");
  }
  return lines.Text();
}

// One writer of the program: the file it writes in the program folder, what that file held before,
// how many bytes the new content has, and the user command that writes it.
struct Writer {
  const char* name;
  QString fileName;
  QByteArray oldContent;
  qsizetype newSize;
  void (*save)(const QString& programFolder);
};

void SaveCfgIni(const QString& programFolder) {
  SharedState state;
  state.SettingsLines = AgateLog(3000);  // any lines: cfg.ini keeps lines it does not know
  Environment env;
  env.programFolder = programFolder;
  SaveSettingsFile(state, env);
}

void SaveAutomatic(const QString& programFolder) {
  Environment env;
  env.programFolder = programFolder;
  env.now = [] { return SaveTime; };
  SaveAutomaticMeasurementFile(AgateLog(3000), 2, env);
}

void SaveUser(const QString& programFolder) {
  SaveUserMeasurementFile(AgateLog(3000), "AGATE", programFolder + QStringLiteral("/januar.csv"));
}

void Register(const QString& programFolder) {
  SimulatorConfig config;
  config.identityReply = Identity;
  LinkSession session(config);
  Environment env;
  env.programFolder = programFolder;
  env.now = [] { return SaveTime; };
  RegisterDevice(session.view, session.link, env);
}

const Writer Writers[] = {
    {"CfgIni", "cfg.ini", "UDPport=6262\r\nip1=192.168.1.10\r\n", AgateLog(3000).Text().size(), SaveCfgIni},
    {"AutomaticMeasurementFile", "23.12.03 14.05 VALD_AGATE.csv", AgateLog(2).Text(),
     AgateLog(3000).Text().size(), SaveAutomatic},
    {"UserMeasurementFile", "januar_AGATE.csv", AgateLog(2).Text(), AgateLog(3000).Text().size(), SaveUser},
    {"SalesCsv", "sales.csv", SalesList(2000), SalesList(2000).size() + 9 + Identity.size() + 2, Register},
};

enum class Fault { MissingFolder, TargetIsAFolder, FailsHalfWay };

// Every folder and file below `root` with its content; folders map to a null array.
std::map<QString, QByteArray> FolderContents(const QString& root) {
  std::map<QString, QByteArray> contents;
  QDirIterator entries(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                       QDirIterator::Subdirectories);
  while (entries.hasNext()) {
    const QString path = entries.next();
    QFile file(path);
    contents[QDir(root).relativeFilePath(path)] =
        entries.fileInfo().isDir() || !file.open(QIODevice::ReadOnly) ? QByteArray() : file.readAll();
  }
  return contents;
}

class WriterFault : public testing::TestWithParam<std::tuple<Writer, Fault>> {};

TEST_P(WriterFault, NamesTheFileAndLeavesTheFolderAsItWas) {
  const auto& [writer, fault] = GetParam();
  TempFolder folder;
  QString programFolder = folder.Path();
  QString target = folder.File(writer.fileName);
  folder.Write(writer.fileName, writer.oldContent);
  if (fault == Fault::MissingFolder) {
    programFolder = folder.File(QStringLiteral("missing"));
    target = programFolder + QLatin1Char('/') + writer.fileName;
  } else if (fault == Fault::TargetIsAFolder) {
    ASSERT_TRUE(QFile::remove(target));
    ASSERT_TRUE(QDir(folder.Path()).mkdir(writer.fileName));
    folder.Write(writer.fileName + QStringLiteral("/inside.txt"), writer.oldContent);
  }
  const std::map<QString, QByteArray> before = FolderContents(folder.Path());

  QString message;
  try {
    if (fault == Fault::FailsHalfWay) {
      const FileSizeLimit limit(rlim_t(writer.newSize / 2));
      writer.save(programFolder);
    } else {
      writer.save(programFolder);
    }
  } catch (const ValdError& error) {
    message = error.Message();
  }

  ASSERT_FALSE(message.isEmpty()) << "the write was reported as done";
  EXPECT_TRUE(message.contains(QLatin1Char('"') + target + QLatin1Char('"'))) << message.toStdString();
  const QString reason = message.section(QLatin1Char('"'), 2).remove(QLatin1Char('.')).trimmed();
  EXPECT_FALSE(reason.isEmpty() || reason == QStringLiteral("Unknown error")) << message.toStdString();
  if (fault == Fault::FailsHalfWay) {
    EXPECT_TRUE(message.contains(QString::fromLocal8Bit(std::strerror(EFBIG)))) << message.toStdString();
  }
  EXPECT_EQ(FolderContents(folder.Path()), before);
}

std::string CaseName(const testing::TestParamInfo<WriterFault::ParamType>& info) {
  static const char* const FaultNames[] = {"MissingFolder", "TargetIsAFolder", "FailsHalfWay"};
  return std::string(std::get<0>(info.param).name) + "_" + FaultNames[int(std::get<1>(info.param))];
}

INSTANTIATE_TEST_SUITE_P(AllWriters, WriterFault,
                         testing::Combine(testing::ValuesIn(Writers),
                                          testing::Values(Fault::MissingFolder, Fault::TargetIsAFolder,
                                                          Fault::FailsHalfWay)),
                         CaseName);

}  // namespace
