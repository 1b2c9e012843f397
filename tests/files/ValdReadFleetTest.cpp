// vald_read over a site of devices: simulators on 127.0.0.1, 127.0.0.2, ... (all of 127.0.0.0/8 is
// loopback), all on one port, read at once.

#include <gtest/gtest.h>

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <functional>
#include <memory>
#include <vector>

#include "SimulatedReadout.h"
#include "ValdReadProcess.h"
#include "core/EditedTextFile.h"
#include "support/LargeFiles.h"
#include "support/SimulatorFixture.h"
#include "support/TempFolder.h"

namespace {

const QString FileTimeOption = QStringLiteral("2023-12-03 14:05");

QString FileName(const char* type) {
  return QStringLiteral("23.12.03 14.05 VALD_%1.csv").arg(QLatin1String(type));
}

// Devices on 127.0.0.1, 127.0.0.2, ... in the order of their configurations, on one port.
class SimulatedSite {
 public:
  explicit SimulatedSite(const std::vector<SimulatorConfig>& configs) {
    for (const SimulatorConfig& config : configs) {
      const QHostAddress address(QStringLiteral("127.0.0.%1").arg(devices_.size() + 1));
      devices_.push_back(std::make_unique<RunningSimulator>(config, address, Port()));
    }
  }
  // 0 until the first device has its port.
  uint16_t Port() const { return devices_.empty() ? 0 : devices_.front()->Port(); }
  QString Host(size_t device) const { return QStringLiteral("127.0.0.%1").arg(device + 1); }
  QStringList Hosts() const {
    QStringList hosts;
    for (size_t i = 0; i < devices_.size(); ++i) hosts << Host(i);
    return hosts;
  }
  bool AnyRequestReceived() const {
    return std::any_of(devices_.begin(), devices_.end(),
                       [](const auto& device) { return !device->Requests().isEmpty(); });
  }

 private:
  std::vector<std::unique_ptr<RunningSimulator>> devices_;
};

SimulatorConfig Silent() {
  SimulatorConfig config = FixedSimulatorConfig(21, 10);
  config.silent = true;
  return config;
}

// The archive is off: these tests pin the files and the result lines; a site's archive is tested
// with the archive.
QStringList SiteArguments(uint16_t port, const QString& out, const QStringList& more) {
  const QStringList arguments = {QStringLiteral("--port"),
                                 QString::number(port),
                                 QStringLiteral("--out"),
                                 out,
                                 QStringLiteral("--time"),
                                 FileTimeOption,
                                 QStringLiteral("--decimal-separator"),
                                 QStringLiteral(","),
                                 QStringLiteral("--archive"),
                                 QStringLiteral("off")};
  return arguments + more;
}

QStringList Lines(const QString& text) {
  return text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

TEST(ValdReadFleet, ParallelFilesEqualSequentialFiles) {
  const SimulatedSite site({FixedSimulatorConfig(2, 200), FixedSimulatorConfig(21, 150),
                            FixedSimulatorConfig(43, 100), FixedSimulatorConfig(46, 200)});
  const char* types[] = {"AGATE", "AGATE", "TOPAZ", "XENOTIME"};
  TempFolder sequential;
  TempFolder parallel;
  const ProcessResult one =
      RunValdRead(SiteArguments(site.Port(), sequential.Path(),
                                QStringList{QStringLiteral("--jobs"), QStringLiteral("1")} + site.Hosts()));
  const ProcessResult all =
      RunValdRead(SiteArguments(site.Port(), parallel.Path(),
                                QStringList{QStringLiteral("--jobs"), QStringLiteral("4")} + site.Hosts()));
  ASSERT_EQ(one.exitCode, 0) << one.out.toStdString();
  ASSERT_EQ(all.exitCode, 0) << all.out.toStdString();
  for (size_t i = 0; i < std::size(types); ++i) {
    const QString file = site.Host(i) + QLatin1Char('/') + FileName(types[i]);
    EXPECT_EQ(parallel.Read(file), sequential.Read(file)) << file.toStdString();
  }
  EXPECT_EQ(QString(all.out).replace(parallel.Path(), QStringLiteral("OUT")),
            QString(one.out).replace(sequential.Path(), QStringLiteral("OUT")));
}

TEST(ValdReadFleet, TenDevicesOfOneTypeGiveTenFiles) {
  const SimulatedSite site(std::vector<SimulatorConfig>(10, FixedSimulatorConfig(21, 50)));
  TempFolder out;
  const ProcessResult result = RunValdRead(SiteArguments(site.Port(), out.Path(), site.Hosts()));
  ASSERT_EQ(result.exitCode, 0) << result.out.toStdString();
  EXPECT_EQ(QDir(out.Path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 10);
  for (const QString& host : site.Hosts()) {
    const QString file = host + QLatin1Char('/') + FileName("AGATE");
    EXPECT_TRUE(out.Exists(file)) << file.toStdString();
  }
}

TEST(ValdReadFleet, ResultsFollowTheOrderOfTheHosts) {
  // The device listed first answers slowest, so it is done last.
  SimulatorConfig slow = FixedSimulatorConfig(43, 50);
  slow.replyDelayMs = 5;
  const SimulatedSite site({FixedSimulatorConfig(2, 50), FixedSimulatorConfig(21, 50), slow});
  const QStringList hosts = {site.Host(2), site.Host(0), site.Host(1)};
  TempFolder out;
  const ProcessResult result = RunValdRead(SiteArguments(site.Port(), out.Path(), hosts));
  ASSERT_EQ(result.exitCode, 0) << result.out.toStdString();
  const QStringList lines = Lines(result.out);
  ASSERT_EQ(lines.size(), 3) << result.out.toStdString();
  const char* types[] = {"TOPAZ", "AGATE", "AGATE"};
  for (qsizetype i = 0; i < hosts.size(); ++i) {
    EXPECT_EQ(lines[i], QStringLiteral("%1: %2/%1/%3").arg(hosts[i], out.Path(), FileName(types[i])));
  }
}

TEST(ValdReadFleet, SilentAndUnknownDevicesAmongGoodOnes) {
  const SimulatedSite site({FixedSimulatorConfig(21, 50), Silent(), FixedSimulatorConfig(43, 50),
                            FixedSimulatorConfig(20, 50), FixedSimulatorConfig(2, 50)});
  TempFolder out;
  const ProcessResult result = RunValdRead(SiteArguments(site.Port(), out.Path(), site.Hosts()));
  EXPECT_EQ(result.exitCode, 1);
  const QStringList expected = {
      QStringLiteral("127.0.0.1: %1/127.0.0.1/%2").arg(out.Path(), FileName("AGATE")),
      QStringLiteral("127.0.0.2: No device"),
      QStringLiteral("127.0.0.3: %1/127.0.0.3/%2").arg(out.Path(), FileName("TOPAZ")),
      QStringLiteral("127.0.0.4: unknown device code 20"),
      QStringLiteral("127.0.0.5: %1/127.0.0.5/%2").arg(out.Path(), FileName("AGATE")),
  };
  EXPECT_EQ(Lines(result.out), expected);
  EXPECT_TRUE(out.Exists(QStringLiteral("127.0.0.1/") + FileName("AGATE")));
  EXPECT_TRUE(out.Exists(QStringLiteral("127.0.0.3/") + FileName("TOPAZ")));
  EXPECT_TRUE(out.Exists(QStringLiteral("127.0.0.5/") + FileName("AGATE")));
  // A device that wrote nothing leaves no folder behind.
  EXPECT_FALSE(out.Exists(QStringLiteral("127.0.0.2")));
  EXPECT_FALSE(out.Exists(QStringLiteral("127.0.0.4")));
}

TEST(ValdReadFleet, HostsFileAndConfigGivePortsOfTheirOwn) {
  // Two devices behind one address on ports of their own, and one from a cfg.ini on its UDPport.
  const RunningSimulator first(FixedSimulatorConfig(21, 50));
  const RunningSimulator second(FixedSimulatorConfig(43, 50));
  const RunningSimulator third(FixedSimulatorConfig(2, 50), QHostAddress(QStringLiteral("127.0.0.2")));
  TempFolder files;
  files.Write(QStringLiteral("hosts"), QStringLiteral("# hall\n127.0.0.1:%1\n\n  127.0.0.1:%2  # stairs\r\n")
                                           .arg(first.Port())
                                           .arg(second.Port())
                                           .toLatin1());
  files.Write(
      QStringLiteral("cfg.ini"),
      QStringLiteral("Left=10\r\nip1=\r\nip2=127.0.0.2\r\nUDPport=%1\r\n").arg(third.Port()).toLatin1());
  TempFolder out;
  const ProcessResult result =
      RunValdRead(SiteArguments(1, out.Path(),
                                {QStringLiteral("--hosts"), files.File(QStringLiteral("hosts")),
                                 QStringLiteral("--config"), files.File(QStringLiteral("cfg.ini"))}));
  ASSERT_EQ(result.exitCode, 0) << result.out.toStdString() << result.err.toStdString();
  const QString firstHost = QStringLiteral("127.0.0.1:%1").arg(first.Port());
  const QString secondHost = QStringLiteral("127.0.0.1:%1").arg(second.Port());
  const QStringList expected = {
      QStringLiteral("%1: %2/127.0.0.1_%3/%4")
          .arg(firstHost, out.Path())
          .arg(first.Port())
          .arg(FileName("AGATE")),
      QStringLiteral("%1: %2/127.0.0.1_%3/%4")
          .arg(secondHost, out.Path())
          .arg(second.Port())
          .arg(FileName("TOPAZ")),
      QStringLiteral("127.0.0.2: %1/127.0.0.2/%2").arg(out.Path(), FileName("AGATE")),
  };
  EXPECT_EQ(Lines(result.out), expected);
}

// A hosts file or cfg.ini as an editor leaves it, with one AGATE on 127.0.0.1 (on the run's --port)
// and one on ::1 on a port of its own.
struct SpellingCase {
  const char* label;
  const char* option;    // --hosts or --config
  QByteArray content;    // PORT stands for the IPv4 device's port, PORT6 for the IPv6 device's
  const char* result;    // the run's one result line; OUT stands for the output folder, FILE for the file
  QStringList warnings;  // devices given again under another spelling, each read once
};

class ValdReadSpellings : public testing::TestWithParam<SpellingCase> {};

TEST_P(ValdReadSpellings, EachDeviceIsReadOnceUnderItsFirstSpelling) {
  const SpellingCase& c = GetParam();
  const RunningSimulator ipv4(FixedSimulatorConfig(21, 50));
  const RunningSimulator ipv6(FixedSimulatorConfig(21, 50), QHostAddress(QHostAddress::LocalHostIPv6));
  const auto withPorts = [&](QString text) {
    return text.replace(QStringLiteral("PORT6"), QString::number(ipv6.Port()))
        .replace(QStringLiteral("PORT"), QString::number(ipv4.Port()));
  };
  TempFolder files;
  files.Write(QStringLiteral("list"), withPorts(QString::fromLatin1(c.content)).toLatin1());
  TempFolder out;
  const ProcessResult result = RunValdRead(
      SiteArguments(ipv4.Port(), out.Path(), {QLatin1String(c.option), files.File(QStringLiteral("list"))}));
  ASSERT_EQ(result.exitCode, 0) << result.out.toStdString() << result.err.toStdString();
  EXPECT_EQ(Lines(result.out), QStringList{withPorts(QLatin1String(c.result))
                                               .replace(QStringLiteral("OUT"), out.Path())
                                               .replace(QStringLiteral("FILE"), FileName("AGATE"))});
  for (const QString& warning : c.warnings)
    EXPECT_TRUE(result.err.contains(withPorts(warning))) << result.err.toStdString();
  EXPECT_EQ(result.err.count(QStringLiteral("it is read once")), c.warnings.size())
      << result.err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Lists, ValdReadSpellings,
    testing::Values(
        SpellingCase{"ByteOrderMarkBeforeAHost",
                     "--hosts",
                     "\xEF\xBB\xBF"
                     "127.0.0.1\n",
                     "127.0.0.1: OUT/FILE",
                     {}},
        SpellingCase{"ByteOrderMarkBeforeUdpPort",
                     "--config",
                     "\xEF\xBB\xBF"
                     "UDPport=PORT6\r\nip1=::1\r\n",
                     "::1: OUT/FILE",
                     {}},
        SpellingCase{
            "OneDeviceSpelledThreeWays",
            "--hosts",
            "127.0.0.1\n127.0.0.1:PORT\n127.000.000.001\n",
            "127.0.0.1: OUT/FILE",
            {QStringLiteral("\"127.0.0.1:PORT\" is the device \"127.0.0.1\" again (127.0.0.1 port PORT): "
                            "it is read once."),
             QStringLiteral("\"127.000.000.001\" is the device \"127.0.0.1\" again (127.0.0.1 port PORT): "
                            "it is read once.")}},
        SpellingCase{"Ipv6WithItsOwnPort", "--hosts", "[::1]:PORT6\n", "[::1]:PORT6: OUT/FILE", {}}),
    [](const auto& info) { return std::string(info.param.label); });

struct BadListCase {
  const char* label;
  const char* option;
  const char* fileName;
  QByteArray content;
  const char* error;  // FILE stands for the file's path
};

class ValdReadBadHostList : public testing::TestWithParam<BadListCase> {};

// vald_read given `option path` besides a device stops with status 2 and `error` (FILE standing for the
// path) before any device is read.
void ExpectRefusedBeforeAnyDeviceIsRead(const char* option, const QString& path, const char* error) {
  const SimulatedSite site({FixedSimulatorConfig(21, 50), FixedSimulatorConfig(21, 50)});
  TempFolder out;
  const ProcessResult result =
      RunValdRead(SiteArguments(site.Port(), out.Path(), {site.Host(0), QLatin1String(option), path}));
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_TRUE(result.out.isEmpty()) << result.out.toStdString();
  EXPECT_EQ(result.err, QString::fromUtf8(error).replace(QStringLiteral("FILE"), path) + QLatin1Char('\n'));
  EXPECT_FALSE(site.AnyRequestReceived());
  EXPECT_TRUE(QDir(out.Path()).isEmpty());
}

TEST_P(ValdReadBadHostList, RefusedBeforeAnyDeviceIsRead) {
  const BadListCase& c = GetParam();
  TempFolder files;
  files.Write(QLatin1String(c.fileName), c.content);
  ExpectRefusedBeforeAnyDeviceIsRead(c.option, files.File(QLatin1String(c.fileName)), c.error);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, ValdReadBadHostList,
    testing::Values(
        BadListCase{"PortTooLarge", "--hosts", "hosts", "127.0.0.2\n# spare\n127.0.0.3:65536\n",
                    "FILE line 3: bad port \"65536\" (expected a number from 1 to 65535)"},
        BadListCase{"PortNotANumber", "--hosts", "hosts", "127.0.0.2:+80\n",
                    "FILE line 1: bad port \"+80\" (expected a number from 1 to 65535)"},
        BadListCase{"BlankInside", "--hosts", "hosts", "\n127.0.0.2 127.0.0.3\n",
                    "FILE line 2: \"127.0.0.2 127.0.0.3\" holds a blank or a control character"},
        BadListCase{"PathSeparator", "--hosts", "hosts", "127.0.0.2\n../127.0.0.3\n",
                    "FILE line 2: \"../127.0.0.3\" holds a path separator"},
        BadListCase{"ParentFolder", "--hosts", "hosts", "..:6262\n", "FILE line 1: \"..:6262\" is no host"},
        BadListCase{"NoHost", "--hosts", "hosts", ":6262\n", "FILE line 1: no host in \":6262\""},
        BadListCase{"ConfigPortNotANumber", "--config", "cfg.ini", "ip1=127.0.0.2\r\nUDPport=62x\r\n",
                    "FILE line 2: '62x' is not a valid integer value"},
        BadListCase{"ConfigAddressWithBlank", "--config", "cfg.ini",
                    "Left=0\r\nip1=127.0.0.2\r\nip3=127 0 0 3\r\n",
                    "FILE line 3: \"127 0 0 3\" holds a blank or a control character"},
        BadListCase{"HostListedTwice", "--hosts", "hosts", "127.0.0.2\n127.0.0.1\n",
                    "\"127.0.0.1\" is listed twice."},
        BadListCase{"TwoEntriesOneFolder", "--hosts", "hosts", "127.0.0.2:6262\n127.0.0.2_6262\n",
                    "\"127.0.0.2:6262\" and \"127.0.0.2_6262\" would write into the same folder "
                    "\"127.0.0.2_6262\"."},
        BadListCase{"NulByte", "--hosts", "hosts", QByteArrayLiteral("127.0.0.2\n127.0.2.3\0evil\n"),
                    "FILE line 2: the line holds a NUL byte"},
        BadListCase{"LongLine", "--hosts", "hosts", "# " + QByteArray(1023, 'x') + "\n127.0.0.2\n",
                    "FILE line 1: the line is longer than 1024 bytes"},
        BadListCase{"ConfigNulByte", "--config", "cfg.ini",
                    QByteArrayLiteral("ip1=127.0.0.2\r\nip2=127.0.2.3\0evil\r\n"),
                    "FILE line 2: the line holds a NUL byte"},
        BadListCase{"ConfigLongLine", "--config", "cfg.ini",
                    "Left=0\r\nip1=" + QByteArray(1021, '1') + "\r\n",
                    "FILE line 2: the line is longer than 1024 bytes"},
        BadListCase{"BracketsWithoutIpv6", "--hosts", "hosts", "[127.0.0.2]:6262\n",
                    "FILE line 1: \"[127.0.0.2]:6262\" is no [IPv6 address] or [IPv6 address]:PORT"}),
    [](const auto& info) { return std::string(info.param.label); });

// Each file option is read up to its limits and no further: a file without a line end, a huge line or a
// file beyond the size limit stops the run as soon as that shows.
struct UnboundedFileCase {
  std::string label;
  const char* option;
  std::function<QString(const TempFolder&)> file;
  const char* error;  // FILE stands for the file's path
};

class ValdReadUnboundedFile : public testing::TestWithParam<UnboundedFileCase> {};

TEST_P(ValdReadUnboundedFile, RefusedAtTheLimitBeforeAnyDeviceIsRead) {
  TempFolder files;
  ExpectRefusedBeforeAnyDeviceIsRead(GetParam().option, GetParam().file(files), GetParam().error);
}

std::vector<UnboundedFileCase> UnboundedFileCases() {
  std::vector<UnboundedFileCase> cases;
  for (const char* option : {"--hosts", "--config", "--limits"}) {
    const std::string name = QByteArray(option + 2).replace("-", "").toStdString();
    cases.push_back({name + "ZerosWithoutALineEnd", option,
                     [](const TempFolder& f) { return WriteZerosAfter(f, QStringLiteral("f"), {}, 8 << 20); },
                     "FILE line 1: the line is longer than 1024 bytes"});
    cases.push_back({name + "HugeLine", option,
                     [](const TempFolder& f) {
                       f.Write(QStringLiteral("f"), "# ok\n" + QByteArray(8 << 20, '1'));
                       return f.File(QStringLiteral("f"));
                     },
                     "FILE line 2: the line is longer than 1024 bytes"});
    cases.push_back({name + "EndlessZeros", option,
                     [](const TempFolder&) { return QStringLiteral("/dev/zero"); },
                     "FILE line 1: the line is longer than 1024 bytes"});
    cases.push_back({name + "BeyondTheSizeLimit", option,
                     [](const TempFolder& f) {
                       return WriteZerosAfter(f, QStringLiteral("f"), {}, MaxEditedFileBytes + 1);
                     },
                     "Cannot read file \"FILE\". It is larger than 16777216 bytes."});
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Options, ValdReadUnboundedFile, testing::ValuesIn(UnboundedFileCases()),
                         [](const auto& info) { return info.param.label; });

// A hosts file may be as large as the limit: thousands of devices, or comments.
TEST(ValdReadFleet, AHostsFileAtTheSizeLimitIsRead) {
  const SimulatedSite site({FixedSimulatorConfig(21, 50)});
  TempFolder files;
  files.Write(QStringLiteral("hosts"), CommentsUpTo(site.Host(0).toLatin1() + "\n", MaxEditedFileBytes));
  TempFolder out;
  const ProcessResult result = RunValdRead(SiteArguments(
      site.Port(), out.Path(), {QStringLiteral("--hosts"), files.File(QStringLiteral("hosts"))}));
  EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
  EXPECT_EQ(Lines(result.out),
            QStringList{QStringLiteral("127.0.0.1: %1/%2").arg(out.Path(), FileName("AGATE"))});
}

TEST(ValdReadFleet, JsonObjectsParseBack) {
  SimulatorConfig incomplete = FixedSimulatorConfig(43, 50);
  incomplete.silentFromBlock = 31;
  const SimulatedSite site({FixedSimulatorConfig(21, 50), incomplete, FixedSimulatorConfig(20, 50)});
  TempFolder out;
  const ProcessResult result = RunValdRead(
      SiteArguments(site.Port(), out.Path(), QStringList{QStringLiteral("--json")} + site.Hosts()));
  EXPECT_EQ(result.exitCode, 1);
  const QStringList lines = Lines(result.out);
  ASSERT_EQ(lines.size(), 3) << result.out.toStdString();
  QList<QJsonObject> objects;
  for (const QString& line : lines) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(line.toUtf8(), &error);
    ASSERT_TRUE(document.isObject()) << error.errorString().toStdString() << line.toStdString();
    objects.append(document.object());
  }
  for (qsizetype i = 0; i < objects.size(); ++i) {
    EXPECT_EQ(objects[i][QLatin1String("host")].toString(), site.Host(size_t(i)));
    EXPECT_TRUE(objects[i][QLatin1String("mac")].isNull());
    EXPECT_TRUE(objects[i][QLatin1String("newRecordsArchived")].isNull());
    // Without --mqtt the object is as it was before there was one.
    EXPECT_FALSE(objects[i].contains(QLatin1String("mqtt")));
    EXPECT_GE(objects[i][QLatin1String("seconds")].toDouble(-1), 0);
  }

  const QJsonObject& good = objects[0];
  const QString goodFile = out.File(QStringLiteral("127.0.0.1/") + FileName("AGATE"));
  EXPECT_EQ(good[QLatin1String("deviceType")].toString(), QStringLiteral("AGATE"));
  EXPECT_EQ(good[QLatin1String("blocksRead")].toInt(), 32);
  EXPECT_EQ(good[QLatin1String("missingBlocks")].toArray(), QJsonArray());
  EXPECT_EQ(good[QLatin1String("file")].toString(), goodFile);
  EXPECT_TRUE(good[QLatin1String("error")].isNull());
  EXPECT_EQ(good[QLatin1String("records")].toInt(),
            out.Read(QStringLiteral("127.0.0.1/") + FileName("AGATE")).count("\r\n"));

  const QJsonObject& partial = objects[1];
  EXPECT_EQ(partial[QLatin1String("deviceType")].toString(), QStringLiteral("TOPAZ"));
  EXPECT_EQ(partial[QLatin1String("blocksRead")].toInt(), 31);
  EXPECT_EQ(partial[QLatin1String("missingBlocks")].toArray(), QJsonArray({31}));
  EXPECT_EQ(partial[QLatin1String("error")].toString(),
            QStringLiteral("incomplete log: no reply for blocks 31"));
  EXPECT_TRUE(QFile::exists(partial[QLatin1String("file")].toString()));

  const QJsonObject& unknown = objects[2];
  EXPECT_TRUE(unknown[QLatin1String("deviceType")].isNull());
  EXPECT_EQ(unknown[QLatin1String("blocksRead")].toInt(), 0);
  EXPECT_TRUE(unknown[QLatin1String("file")].isNull());
  EXPECT_EQ(unknown[QLatin1String("error")].toString(), QStringLiteral("unknown device code 20"));
}

}  // namespace
