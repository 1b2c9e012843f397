#include <QDir>
#include <QHostAddress>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <memory>
#include <vector>

#include "ArchiveFixture.h"
#include "support/ProgramRun.h"
#include "support/SimulatorFixture.h"

// vald_read and vald_archive as processes: the default archive beside the files, import and export.

namespace {

ProcessResult ValdArchive(const QStringList& arguments) {
  return RunProgram(QStringLiteral(VALD_ARCHIVE_PATH), arguments);
}

QByteArray FileText(const QList<QByteArray>& lines) {
  QByteArray text;
  for (const QByteArray& line : lines) text += line + "\r\n";
  return text;
}

TEST(ValdArchive, ExportOfTwoOverlappingReadoutsIsTheUnionInTimeOrder) {
  TempFolder folder;
  folder.Write(QStringLiteral("24.03.02 10.00 VALD_AGATE.csv"), FileText(AgateLines(0, 200)));
  folder.Write(QStringLiteral("24.03.03 10.00 VALD_AGATE.csv"), FileText(AgateLines(120, 200)));
  const QString archive = folder.File(QStringLiteral("archive.sqlite"));
  const ProcessResult imported = ValdArchive({QStringLiteral("--archive"), archive, QStringLiteral("import"),
                                              QStringLiteral("--device"), QStringLiteral("AA:BB:CC:DD:EE:FF"),
                                              folder.File(QStringLiteral("24.03.02 10.00 VALD_AGATE.csv")),
                                              folder.File(QStringLiteral("24.03.03 10.00 VALD_AGATE.csv"))});
  ASSERT_EQ(imported.exitCode, 0) << imported.err.toStdString();
  EXPECT_TRUE(imported.out.contains(QStringLiteral("120 of 200 records added")))
      << imported.out.toStdString();

  const QString exported = folder.File(QStringLiteral("union_AGATE.csv"));
  const ProcessResult result =
      ValdArchive({QStringLiteral("--archive"), archive, QStringLiteral("export"),
                   QStringLiteral("AA:BB:CC:DD:EE:FF"), QStringLiteral("--out"), exported});
  ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
  EXPECT_EQ(folder.Read(QStringLiteral("union_AGATE.csv")), FileText(AgateLines(0, 320)));

  const ProcessResult day = ValdArchive({QStringLiteral("--archive"), archive, QStringLiteral("export"),
                                         QStringLiteral("aa:bb:cc:dd:ee:ff"), QStringLiteral("--from"),
                                         QStringLiteral("2024-03-02"), QStringLiteral("--to"),
                                         QStringLiteral("2024-03-02"), QStringLiteral("--out"), exported});
  ASSERT_EQ(day.exitCode, 0) << day.err.toStdString();
  EXPECT_EQ(folder.Read(QStringLiteral("union_AGATE.csv")), FileText(AgateLines(144, 144)));
}

TEST(ValdArchive, ExitStatusSaysWhetherTheCommandSucceeded) {
  TempFolder folder;
  const QString archive = folder.File(QStringLiteral("archive.sqlite"));
  folder.Write(QStringLiteral("foreign.sqlite"), QByteArray(4096, 'x'));
  const struct {
    QStringList arguments;
    int exitCode;
  } cases[] = {
      {{QStringLiteral("--help")}, 0},
      {{QStringLiteral("--archive"), archive, QStringLiteral("list")}, 0},
      {{QStringLiteral("--archive"), archive, QStringLiteral("export"), QStringLiteral("00:00:00:00:00:00")},
       1},
      {{QStringLiteral("--archive"), folder.File(QStringLiteral("foreign.sqlite")), QStringLiteral("list")},
       1},
      {{QStringLiteral("--archive"), archive, QStringLiteral("import"), folder.File(QStringLiteral("x.csv"))},
       2},
      {{QStringLiteral("--archive"), archive, QStringLiteral("vacuum")}, 2},
      {{}, 2},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ValdArchive(c.arguments).exitCode, c.exitCode)
        << c.arguments.join(QLatin1Char(' ')).toStdString();
  }
}

TEST(ValdRead, ArchivesIntoTheOutFolderByDefault) {
  SimulatorConfig config;
  config.deviceCode = 21;
  config.chipCode = 1;
  config.recordCount = 100;
  RunningSimulator device(config);
  TempFolder out;
  const ProcessResult read = RunProgram(QStringLiteral(VALD_READ_PATH),
                                        {QStringLiteral("--port"), QString::number(device.Port()),
                                         QStringLiteral("--out"), out.Path(), QStringLiteral("127.0.0.1")});
  ASSERT_EQ(read.exitCode, 0) << read.out.toStdString();
  const ProcessResult list = ValdArchive(
      {QStringLiteral("--archive"), out.File(QStringLiteral("archive.sqlite")), QStringLiteral("list")});
  ASSERT_EQ(list.exitCode, 0);
  EXPECT_TRUE(list.out.contains(QStringLiteral("00:1A:2B:3C:4D:5E\tAGATE\t100\t"))) << list.out.toStdString();
}

// AGATE devices on 127.0.0.1, 127.0.0.2, ... on one port, each with a MAC of its own
// ("00:1A:2B:3C:4D:01", ...) and a log of its own length.
class SimulatedAgates {
 public:
  explicit SimulatedAgates(int count) {
    for (int i = 1; i <= count; ++i) {
      SimulatorConfig config;
      config.deviceCode = 21;
      config.chipCode = 1;
      config.recordCount = 50 + 10 * i;
      config.seed = uint32_t(i);
      config.identityReply = Mac(i).toLatin1() + ";SN0001;R-17;AGATE;v2.3;c1";
      const QHostAddress address(QStringLiteral("127.0.0.%1").arg(i));
      devices_.push_back(std::make_unique<RunningSimulator>(config, address, i == 1 ? 0 : Port()));
      hosts_ << address.toString();
    }
  }
  static QString Mac(int device) {
    return QStringLiteral("00:1A:2B:3C:4D:%1").arg(device, 2, 10, QLatin1Char('0'));
  }
  uint16_t Port() const { return devices_.front()->Port(); }
  const QStringList& Hosts() const { return hosts_; }

 private:
  std::vector<std::unique_ptr<RunningSimulator>> devices_;
  QStringList hosts_;
};

class ValdReadSiteArchive : public ArchiveTest {};

TEST_P(ValdReadSiteArchive, DevicesReadAtOnceAllMergeIntoTheOneArchive) {
  const SimulatedAgates site(6);
  TempFolder out;
  const ProcessResult read =
      RunProgram(QStringLiteral(VALD_READ_PATH),
                 QStringList{QStringLiteral("--port"), QString::number(site.Port()), QStringLiteral("--out"),
                             out.Path(), QStringLiteral("--archive"), location.Describe(),
                             QStringLiteral("--jobs"), QStringLiteral("6"), QStringLiteral("--json")} +
                     site.Hosts());
  ASSERT_EQ(read.exitCode, 0) << read.out.toStdString();
  const QStringList lines = read.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 6) << read.out.toStdString();

  ArchiveStore store(location);
  const QList<ArchivedDevice> devices = store.Devices();
  ASSERT_EQ(devices.size(), 6);
  for (qsizetype i = 0; i < lines.size(); ++i) {
    const QJsonObject result = QJsonDocument::fromJson(lines[i].toUtf8()).object();
    const QString mac = SimulatedAgates::Mac(int(i) + 1);
    EXPECT_EQ(result[QLatin1String("mac")].toString(), mac);
    const int records = result[QLatin1String("records")].toInt();
    EXPECT_EQ(result[QLatin1String("newRecordsArchived")].toInt(-1), records) << mac.toStdString();
    const auto device = std::find_if(devices.begin(), devices.end(),
                                     [&](const ArchivedDevice& archived) { return archived.mac == mac; });
    ASSERT_NE(device, devices.end()) << mac.toStdString();
    EXPECT_EQ(device->records, records) << mac.toStdString();
  }
}

INSTANTIATE_TEST_SUITE_P(Engines, ValdReadSiteArchive, testing::Values(Engine::SQLite, Engine::PostgreSQL),
                         EngineName);

TEST(ValdRead, NoFilesWritesOnlyTheArchive) {
  const SimulatedAgates site(2);
  TempFolder out;
  const ProcessResult read =
      RunProgram(QStringLiteral(VALD_READ_PATH),
                 QStringList{QStringLiteral("--port"), QString::number(site.Port()), QStringLiteral("--out"),
                             out.Path(), QStringLiteral("--no-files")} +
                     site.Hosts());
  ASSERT_EQ(read.exitCode, 0) << read.out.toStdString();
  EXPECT_EQ(read.out,
            QStringLiteral("127.0.0.1: 60 new records archived\n127.0.0.2: 70 new records archived\n"));
  EXPECT_EQ(QDir(out.Path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
            QStringList{QStringLiteral("archive.sqlite")});
}

}  // namespace
