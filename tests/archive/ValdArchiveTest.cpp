#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTcpServer>
#include <QTimeZone>
#include <functional>
#include <memory>
#include <random>
#include <vector>

#include "ArchiveFixture.h"
#include "archive/ArchiveSchema.h"
#include "files/MeasurementFile.h"
#include "support/ProgramRun.h"
#include "support/SimulatorFixture.h"

// vald_read and vald_archive as processes: the default archive beside the files, import and export, what
// the reading commands make of a damaged, read-only or missing archive, and the check.

namespace {

ProcessResult ValdArchive(const QStringList& arguments) {
  return RunProgram(QStringLiteral(VALD_ARCHIVE_PATH), arguments);
}

// An AGATE on the 25LC254 with a log of `records` lines.
SimulatorConfig AgateConfig(int records) {
  SimulatorConfig config;
  config.deviceCode = 21;
  config.chipCode = 1;
  config.recordCount = records;
  return config;
}

ProcessResult ValdRead(uint16_t port, const TempFolder& out, const QStringList& more) {
  return RunProgram(
      QStringLiteral(VALD_READ_PATH),
      QStringList{QStringLiteral("--port"), QString::number(port), QStringLiteral("--out"), out.Path()} +
          more);
}

QByteArray FileText(const QList<QByteArray>& lines) {
  QByteArray text;
  for (const QByteArray& line : lines) text += line + "\r\n";
  return text;
}

// An import takes every line that is a record of the file's type and names the others; a file of another
// type than the archived device's is refused unless --force.
TEST(ValdArchive, ImportSkipsLinesThatAreNoRecordAndNamesThem) {
  TempFolder folder;
  QList<QByteArray> lines = AgateLines(0, 11);
  lines[3] = QByteArray(
      "2024;03;01;00;30;2\0"
      "1,5;20,0;",
      24);                                  // a NUL byte
  lines[5] = "2024;03;01;00;50;21,5;";      // a column short
  lines[6] = "2024;03;01;01;00;abc;20,0;";  // no number
  folder.Write(QStringLiteral("24.03.02 10.00 VALD_AGATE.csv"), FileText(lines));
  const QString archive = folder.File(QStringLiteral("archive.sqlite"));
  const auto import = [&](const QString& name, const QStringList& more = {}) {
    return ValdArchive(QStringList{QStringLiteral("--archive"), archive, QStringLiteral("import"),
                                   QStringLiteral("--device"), QStringLiteral("AA:BB:CC:DD:EE:FF")} +
                       more + QStringList{folder.File(name)});
  };
  const ProcessResult imported = import(QStringLiteral("24.03.02 10.00 VALD_AGATE.csv"));
  EXPECT_EQ(imported.exitCode, 1);
  EXPECT_EQ(imported.out, folder.File(QStringLiteral("24.03.02 10.00 VALD_AGATE.csv")) +
                              QStringLiteral(": 8 of 8 records added, 3 skipped (lines 4, 6-7)\n"));

  folder.Write(QStringLiteral("24.03.02 10.00 VALD_BASALT.csv"),
               FileText({"2024;03;01;00;00;1,0;2,0;3,0;4,0;"}));
  EXPECT_EQ(import(QStringLiteral("24.03.02 10.00 VALD_BASALT.csv")).exitCode, 1);
  EXPECT_EQ(import(QStringLiteral("24.03.02 10.00 VALD_BASALT.csv"), {QStringLiteral("--force")}).exitCode,
            0);
}

// A measurement file is read up to its limits and no further: one without a line end, with a huge line
// or beyond the size limit is refused as soon as that shows, and none of its records is merged. A file at
// the size limit is read (here to its zeros).
struct UnboundedImportCase {
  const char* name;
  std::function<void(const QString& path)> make;
  const char* error;  // FILE stands for the file's path
};

class UnboundedImport : public testing::TestWithParam<UnboundedImportCase> {};

TEST_P(UnboundedImport, IsRefusedAtTheLimitWithNothingMerged) {
  TempFolder folder;
  const QString path = folder.File(QStringLiteral("24.03.02 10.00 VALD_AGATE.csv"));
  GetParam().make(path);
  const QString archive = folder.File(QStringLiteral("archive.sqlite"));
  const ProcessResult imported =
      ValdArchive({QStringLiteral("--archive"), archive, QStringLiteral("import"), QStringLiteral("--device"),
                   QStringLiteral("AA:BB:CC:DD:EE:FF"), path});
  EXPECT_EQ(imported.exitCode, 1);
  EXPECT_TRUE(imported.out.isEmpty()) << imported.out.toStdString();
  EXPECT_EQ(imported.err, QString::fromLatin1(GetParam().error).replace(QStringLiteral("FILE"), path) + '\n');
  EXPECT_TRUE(ArchiveStore(ParseArchiveLocation(archive, QString())).Devices().isEmpty());
}

void RecordsThenZeros(const QString& path, qint64 size) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(FileText(AgateLines(0, 3)));
  ASSERT_TRUE(file.resize(size));
}

INSTANTIATE_TEST_SUITE_P(
    Files, UnboundedImport,
    testing::Values(
        UnboundedImportCase{"ZerosWithoutALineEnd",
                            [](const QString& path) { RecordsThenZeros(path, 8 << 20); },
                            "FILE line 4: the line is longer than 1024 bytes"},
        UnboundedImportCase{"HugeLine",
                            [](const QString& path) {
                              QFile file(path);
                              ASSERT_TRUE(file.open(QIODevice::WriteOnly));
                              file.write(FileText(AgateLines(0, 3)) + QByteArray(8 << 20, '1'));
                            },
                            "FILE line 4: the line is longer than 1024 bytes"},
        UnboundedImportCase{
            "EndlessZeros",
            [](const QString& path) { ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), path)); },
            "FILE line 1: the line is longer than 1024 bytes"},
        // The first hundred thousand lines make a batch of their own: the line after them stops the
        // import all the same.
        UnboundedImportCase{"HugeLineAfterTheFirstBatch",
                            [](const QString& path) {
                              QFile file(path);
                              ASSERT_TRUE(file.open(QIODevice::WriteOnly));
                              file.write(FileText(AgateLines(0, 100000)) + QByteArray(2000, '1'));
                            },
                            "FILE line 100001: the line is longer than 1024 bytes"},
        UnboundedImportCase{"AtTheSizeLimit",
                            [](const QString& path) { RecordsThenZeros(path, MaxMeasurementFileBytes); },
                            "FILE line 4: the line is longer than 1024 bytes"},
        UnboundedImportCase{"BeyondTheSizeLimit",
                            [](const QString& path) { RecordsThenZeros(path, MaxMeasurementFileBytes + 1); },
                            "Cannot read file \"FILE\". It is larger than 1073741824 bytes."}),
    [](const auto& info) { return std::string(info.param.name); });

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
  ArchiveStore(ParseArchiveLocation(archive, QString()));
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

// A path that names no archive is said to be one (a misspelt path would otherwise read as an empty
// archive), and a file of another kind is called what it is; neither is changed.
TEST(ValdArchive, AMissingOrForeignArchiveIsNamed) {
  TempFolder folder;
  const QString missing = folder.File(QStringLiteral("archve.sqlite"));
  const QString foreign = folder.File(QStringLiteral("notes.txt"));
  folder.Write(QStringLiteral("notes.txt"), "a text file, no archive\n");
  const QString mac = QStringLiteral("00:1A:2B:3C:4D:5E");
  const QStringList commands[] = {
      {QStringLiteral("list")},
      {QStringLiteral("export"), mac},
      {QStringLiteral("check")},
      {QStringLiteral("stats"), mac},
      {QStringLiteral("report"), mac, QStringLiteral("--out"), folder.File(QStringLiteral("r.pdf"))},
      {QStringLiteral("upgrade")},
  };
  for (const QStringList& command : commands) {
    SCOPED_TRACE(command[0].toStdString());
    const ProcessResult none = ValdArchive(QStringList{QStringLiteral("--archive"), missing} + command);
    EXPECT_EQ(none.exitCode, 2);
    EXPECT_EQ(none.out, QString());
    EXPECT_EQ(none.err, QStringLiteral("no archive at %1\n").arg(missing));
    const ProcessResult other = ValdArchive(QStringList{QStringLiteral("--archive"), foreign} + command);
    EXPECT_EQ(other.exitCode, 1);
    EXPECT_TRUE(other.err.contains(QStringLiteral("not an archive"))) << other.err.toStdString();
  }
  EXPECT_FALSE(QFile::exists(missing));
  EXPECT_EQ(folder.Read(QStringLiteral("notes.txt")), "a text file, no archive\n");
}

// An archive of the first schema: the reading commands refuse it and name the command that brings it
// up to date; upgrade does, every record kept, and says so; after it they read it.
TEST(ValdArchive, UpgradeBringsAnOlderArchiveToThePresentSchema) {
  TempFolder folder;
  const ArchiveLocation location = ParseArchiveLocation(QStringLiteral("archive.sqlite"), folder.Path());
  LoadSchemaOneArchive(location);
  const QStringList list{QStringLiteral("--archive"), location.path, QStringLiteral("list")};
  const QStringList upgrade{QStringLiteral("--archive"), location.path, QStringLiteral("upgrade")};

  const ProcessResult refused = ValdArchive(list);
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_TRUE(refused.err.contains(QStringLiteral("schema version 1")) &&
              refused.err.contains(QStringLiteral("vald_archive upgrade")))
      << refused.err.toStdString();

  const ProcessResult upgraded = ValdArchive(upgrade);
  EXPECT_EQ(upgraded.exitCode, 0) << upgraded.err.toStdString();
  EXPECT_EQ(upgraded.out, QStringLiteral("%1: schema version 1 brought up to version %2\n")
                              .arg(location.path)
                              .arg(CurrentSchemaVersion));
  const ProcessResult listed = ValdArchive(list);
  EXPECT_EQ(listed.exitCode, 0) << listed.err.toStdString();
  EXPECT_TRUE(listed.out.contains(QStringLiteral("00:1A:2B:3C:4D:5E\t")) &&
              listed.out.contains(QStringLiteral("\t300\t")))
      << listed.out.toStdString();
  EXPECT_EQ(
      ValdArchive(upgrade).out,
      QStringLiteral("%1: schema version %2, up to date\n").arg(location.path).arg(CurrentSchemaVersion));
}

// An archive file of 1000 AGATE lines of the device 00:1A:2B:3C:4D:5E, no connection left open.
QString ThousandLineArchive(const TempFolder& folder) {
  const ArchiveLocation location = ParseArchiveLocation(QStringLiteral("archive.sqlite"), folder.Path());
  ArchiveStore(location).Merge(AgateReadout(AgateLines(0, 1000)));
  return location.path;
}

// Output that never reaches standard output (a full disk) is a failure, whatever the command printed.
TEST(ValdArchive, OutputThatCannotBeWrittenIsAFailure) {
  TempFolder folder;
  const QString archive = ThousandLineArchive(folder);
  const RunningSimulator device(AgateConfig(10));
  const QString mac = QStringLiteral("00:1A:2B:3C:4D:5E");
  const struct {
    const char* program;
    QStringList arguments;
  } cases[] = {
      {VALD_ARCHIVE_PATH, {QStringLiteral("--archive"), archive, QStringLiteral("list")}},
      {VALD_ARCHIVE_PATH, {QStringLiteral("--archive"), archive, QStringLiteral("export"), mac}},
      {VALD_ARCHIVE_PATH, {QStringLiteral("--archive"), archive, QStringLiteral("stats"), mac}},
      {VALD_READ_PATH,
       {QStringLiteral("--port"), QString::number(device.Port()), QStringLiteral("--out"), folder.Path(),
        QStringLiteral("--archive"), QStringLiteral("off"), QStringLiteral("--json"),
        QStringLiteral("127.0.0.1")}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments.join(QLatin1Char(' ')).toStdString());
    QProcess process;
    process.setStandardOutputFile(QStringLiteral("/dev/full"));
    process.start(QString::fromLatin1(c.program), c.arguments);
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 1);
    EXPECT_TRUE(process.readAllStandardError().contains("standard output"));
  }
}

// Two devices answering one MAC address with different device codes stay two archive devices.
TEST(ValdRead, OneMacOfTwoDeviceTypesIsTwoDevices) {
  TempFolder folder;
  const QString archive = folder.File(QStringLiteral("archive.sqlite"));
  SimulatorConfig basalt = AgateConfig(10);
  basalt.deviceCode = 3;
  for (const SimulatorConfig& config : {AgateConfig(10), basalt}) {
    const RunningSimulator device(config);
    const ProcessResult read =
        ValdRead(device.Port(), folder, {QStringLiteral("--archive"), archive, QStringLiteral("127.0.0.1")});
    EXPECT_EQ(read.exitCode, 0) << read.err.toStdString();
    EXPECT_EQ(read.err.contains(QStringLiteral("is kept as 00:1A:2B:3C:4D:5E/3")), config.deviceCode == 3)
        << read.err.toStdString();
  }
  ArchiveLocation location;
  location.engine = ArchiveLocation::Engine::SQLite;
  location.path = archive;
  QStringList keys;
  for (const ArchivedDevice& device : ArchiveStore(location, ArchiveAccess::ReadOnly).Devices())
    keys << QStringLiteral("%1 %2").arg(device.key).arg(device.deviceCode);
  EXPECT_EQ(keys, (QStringList{"00:1A:2B:3C:4D:5E 21", "00:1A:2B:3C:4D:5E/3 3"}));
}

// 8 KiB of random bytes in the middle of the file, the same bytes every time. They start past the header
// of a page, where only a check of the page's cells notices them.
void DamageTheMiddle(const QString& path) {
  constexpr int DamagedBytes = 8192;
  constexpr int PastThePageHeader = 512;
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadWrite));
  const QByteArray header = file.read(18);
  const qint64 pageSize = (uchar(header[16]) << 8) | uchar(header[17]);
  std::mt19937 random(21);
  QByteArray noise(DamagedBytes, 0);
  for (char& byte : noise) byte = char(random());
  ASSERT_TRUE(file.seek(file.size() / 2 / pageSize * pageSize + PastThePageHeader));
  ASSERT_EQ(file.write(noise), DamagedBytes);
}

// Run in the child: root gives up the capabilities that pass over file modes, so that a read-only file
// or folder is read-only to the program, as to any other user.
void ObeyFileModes() {
  if (geteuid() != 0) return;
  for (const int capability : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER})
    prctl(PR_CAPBSET_DROP, capability, 0, 0, 0);
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct sets[2]{};
  syscall(SYS_capget, &header, sets);
  sets[0].inheritable = sets[1].inheritable = 0;
  syscall(SYS_capset, &header, sets);
}

TEST(ValdArchive, ADamagedFileAnswersWithTheErrorAndNoPartOfItself) {
  TempFolder folder;
  const QString archive = ThousandLineArchive(folder);
  DamageTheMiddle(archive);
  const QString exported = folder.File(QStringLiteral("export.csv"));
  const struct {
    QStringList command;
    QString said;
  } cases[] = {
      {{QStringLiteral("list")}, QStringLiteral("database disk image is malformed")},
      {{QStringLiteral("export"), QStringLiteral("00:1A:2B:3C:4D:5E"), QStringLiteral("--out"), exported},
       QStringLiteral("database disk image is malformed")},
      {{QStringLiteral("check")}, QStringLiteral("not sound")},
  };
  for (const auto& c : cases) {
    const ProcessResult result = ValdArchive(QStringList{QStringLiteral("--archive"), archive} + c.command);
    EXPECT_EQ(result.exitCode, 1) << c.command[0].toStdString();
    EXPECT_TRUE((result.out + result.err).contains(c.said))
        << result.out.toStdString() << result.err.toStdString();
    EXPECT_FALSE(result.out.contains(QStringLiteral("00:1A:2B:3C:4D:5E"))) << result.out.toStdString();
  }
  EXPECT_FALSE(QFile::exists(exported));
}

TEST(ValdArchive, ReadingCommandsWorkOnAReadOnlyFileOrFolder) {
  constexpr QFile::Permissions Read = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
  constexpr QFile::Permissions Enter = QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
  for (const bool folderReadOnly : {false, true}) {
    SCOPED_TRACE(folderReadOnly ? "read-only folder" : "read-only file");
    TempFolder folder;
    TempFolder out;
    const QString archive = ThousandLineArchive(folder);
    ASSERT_TRUE(QFile::setPermissions(archive, Read));
    if (folderReadOnly) {
      ASSERT_TRUE(QFile::setPermissions(folder.Path(), Read | Enter));
    }
    const QStringList commands[] = {
        {QStringLiteral("list")},
        {QStringLiteral("export"), QStringLiteral("00:1A:2B:3C:4D:5E"), QStringLiteral("--out"),
         out.File(QStringLiteral("export.csv"))},
        {QStringLiteral("check")},
    };
    for (const QStringList& command : commands) {
      const ProcessResult result = RunProgram(QStringLiteral(VALD_ARCHIVE_PATH),
                                              QStringList{QStringLiteral("--archive"), archive} + command,
                                              QProcessEnvironment::systemEnvironment(), ObeyFileModes);
      EXPECT_EQ(result.exitCode, 0) << command[0].toStdString() << ": " << result.err.toStdString();
    }
    EXPECT_EQ(out.Read(QStringLiteral("export.csv")), FileText(AgateLines(0, 1000)));
    QFile::setPermissions(folder.Path(), Read | Enter | QFile::WriteOwner);
  }
}

TEST(ValdRead, AnArchiveServersMessageStaysOnTheDevicesLine) {
  quint16 closedPort = 0;
  {
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    closedPort = server.serverPort();
  }
  const RunningSimulator device(AgateConfig(10));
  TempFolder out;
  const QString archive = QStringLiteral("postgresql://vald@127.0.0.1:%1/archive").arg(closedPort);
  const ProcessResult read =
      ValdRead(device.Port(), out, {QStringLiteral("--archive"), archive, QStringLiteral("127.0.0.1")});
  EXPECT_EQ(read.exitCode, 1);
  EXPECT_EQ(read.out.count(QLatin1Char('\n')), 1) << read.out.toStdString();
  EXPECT_TRUE(read.out.contains(QStringLiteral("(not archived: Archive %1: open failed: ").arg(archive)))
      << read.out.toStdString();
}

TEST(ValdRead, ArchivesIntoTheOutFolderByDefault) {
  const RunningSimulator device(AgateConfig(100));
  TempFolder out;
  const ProcessResult read = ValdRead(device.Port(), out, {QStringLiteral("127.0.0.1")});
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

class ValdArchiveOnEngines : public ArchiveTest {
 protected:
  ProcessResult Run(const QStringList& command) const {
    return ValdArchive(QStringList{QStringLiteral("--archive"), location.Describe()} + command);
  }
};

TEST_P(ValdArchiveOnEngines, ReadingCommandsLeaveADatabaseWithoutAnArchiveAsItIs) {
  const QStringList commands[] = {
      {QStringLiteral("list")},
      {QStringLiteral("export"), QStringLiteral("00:1A:2B:3C:4D:5E")},
      {QStringLiteral("check")},
      {QStringLiteral("upgrade")},
  };
  for (const QStringList& command : commands) {
    const ProcessResult result = Run(command);
    EXPECT_EQ(result.exitCode, 2) << command[0].toStdString() << ": " << result.err.toStdString();
    EXPECT_EQ(result.err, QStringLiteral("no archive at %1\n").arg(location.Describe()));
  }
  if (GetParam() == Engine::SQLite) {
    EXPECT_FALSE(QFile::exists(location.path));
  } else {
    EXPECT_EQ(QueryArchive(location, QStringLiteral("SELECT COUNT(*) FROM information_schema.tables WHERE "
                                                    "table_schema = current_schema()"))[0][0]
                  .toInt(),
              0);
  }
}

TEST_P(ValdArchiveOnEngines, ALogReadWithPointThenWithCommaIsArchivedOnce) {
  const RunningSimulator device(AgateConfig(300));
  for (const char* separator : {".", ","}) {
    SCOPED_TRACE(separator);
    TempFolder out;
    const ProcessResult read =
        ValdRead(device.Port(), out,
                 {QStringLiteral("--archive"), location.Describe(), QStringLiteral("--decimal-separator"),
                  QLatin1String(separator), QStringLiteral("--json"), QStringLiteral("127.0.0.1")});
    ASSERT_EQ(read.exitCode, 0) << read.out.toStdString();
    const QJsonObject result = QJsonDocument::fromJson(read.out.toUtf8()).object();
    EXPECT_EQ(result[QLatin1String("newRecordsArchived")].toInt(-1), *separator == '.' ? 300 : 0);
  }
}

TEST_P(ValdArchiveOnEngines, CheckSaysWhatItFound) {
  ArchiveStore(location).Merge(AgateReadout(AgateLines(0, 100)));
  const struct {
    const char* label;
    QStringList breaking;  // statements run before the check
    int exitCode;
    QString said;
  } cases[] = {
      {"Sound", {}, 0, location.Describe() + QStringLiteral(": sound (")},
      {"RecordsMissing",
       {QStringLiteral("DROP VIEW measurements"), QStringLiteral("DROP TABLE records")},
       1,
       QStringLiteral("\n  the table records is missing\n")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    for (const QString& statement : c.breaking) QueryArchive(location, statement);
    const ProcessResult result = Run({QStringLiteral("check")});
    EXPECT_EQ(result.exitCode, c.exitCode) << result.err.toStdString();
    EXPECT_TRUE(result.out.contains(c.said)) << result.out.toStdString();
  }
}

INSTANTIATE_TEST_SUITE_P(Engines, ValdArchiveOnEngines, testing::Values(Engine::SQLite, Engine::PostgreSQL),
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
