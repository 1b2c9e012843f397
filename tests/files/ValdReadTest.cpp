#include <gtest/gtest.h>

#include <QDir>
#include <QRegularExpression>

#include "SimulatedReadout.h"
#include "ValdReadProcess.h"
#include "support/SimulatorFixture.h"
#include "support/TempFolder.h"

namespace {

const QDateTime FileTime(QDate(2023, 12, 3), QTime(14, 5));
const QString FileTimeOption = QStringLiteral("2023-12-03 14:05");

QStringList ReadArguments(uint16_t port, const QString& out, const QString& separator,
                          const QStringList& hosts) {
  QStringList arguments = {QStringLiteral("--port"), QString::number(port), QStringLiteral("--out"), out,
                           QStringLiteral("--time"), FileTimeOption};
  if (!separator.isEmpty()) arguments << QStringLiteral("--decimal-separator") << separator;
  return arguments + hosts;
}

struct SameBytesCase {
  const char* label;
  int deviceCode;
  char separator;
};

class ValdReadFile : public testing::TestWithParam<SameBytesCase> {};

TEST_P(ValdReadFile, SameBytesAsAReadoutInTheProgram) {
  const SameBytesCase& c = GetParam();
  const SimulatorConfig config = FixedSimulatorConfig(c.deviceCode, 400);
  TempFolder inProcess;
  const SimulatedReadout readout = ReadSimulatedDevice(config, c.separator, inProcess.Path(), FileTime);
  ASSERT_FALSE(readout.report.measurementFile.isEmpty());
  const QString name = QFileInfo(readout.report.measurementFile).fileName();

  TempFolder out;
  RunningSimulator device(config);
  const ProcessResult result = RunValdRead(ReadArguments(
      device.Port(), out.Path(), QString(QLatin1Char(c.separator)), {QStringLiteral("127.0.0.1")}));
  ASSERT_EQ(result.exitCode, 0) << result.out.toStdString() << result.err.toStdString();
  EXPECT_EQ(result.out, QStringLiteral("127.0.0.1: %1\n").arg(out.File(name)));
  EXPECT_EQ(out.Read(name), inProcess.Read(name));
  EXPECT_TRUE(result.err.endsWith(QStringLiteral("127.0.0.1: block 32 of 32\n"))) << result.err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Devices, ValdReadFile,
                         testing::Values(SameBytesCase{"AgateFieldType1", 2, ','},
                                         SameBytesCase{"Topaz", 43, '.'}, SameBytesCase{"Xenotime", 46, ','}),
                         [](const auto& info) { return std::string(info.param.label); });

// The golden files (golden/<DeviceCode>/) pin whole measurement files of a fixed simulated log. After a
// deliberate change of the file format or of the simulator's generated log, rewrite them for each code
// with "vald_sim --port 16262 --device CODE --records 200 --seed 7" running and
// "vald_read --port 16262 --out tests/files/golden/CODE --time '2023-12-03 14:05' --decimal-separator ,
// 127.0.0.1", then review the difference.
class ValdReadGolden : public testing::TestWithParam<int> {};

TEST_P(ValdReadGolden, WritesTheCheckedInFile) {
  RunningSimulator device(FixedSimulatorConfig(GetParam(), 200));
  TempFolder out;
  const ProcessResult result = RunValdRead(
      ReadArguments(device.Port(), out.Path(), QStringLiteral(","), {QStringLiteral("127.0.0.1")}));
  ASSERT_EQ(result.exitCode, 0) << result.out.toStdString();
  const QStringList written = QDir(out.Path()).entryList(QDir::Files);
  ASSERT_EQ(written.size(), 1);
  QFile golden(QStringLiteral(VALD_GOLDEN_DIR "/%1/%2").arg(GetParam()).arg(written[0]));
  ASSERT_TRUE(golden.open(QIODevice::ReadOnly)) << written[0].toStdString();
  EXPECT_EQ(out.Read(written[0]), golden.readAll()) << written[0].toStdString();
}

INSTANTIATE_TEST_SUITE_P(Devices, ValdReadGolden, testing::Values(2, 21, 43, 46, 50, 55));

TEST(ValdRead, FileNameFollowsTheClockWithoutATimeOption) {
  RunningSimulator device(FixedSimulatorConfig(21, 50));
  TempFolder out;
  const ProcessResult result =
      RunValdRead({QStringLiteral("--port"), QString::number(device.Port()), QStringLiteral("--out"),
                   out.Path(), QStringLiteral("127.0.0.1")});
  ASSERT_EQ(result.exitCode, 0);
  const QStringList written = QDir(out.Path()).entryList(QDir::Files);
  ASSERT_EQ(written.size(), 1);
  EXPECT_TRUE(
      QRegularExpression(QStringLiteral("^\\d\\d\\.\\d\\d\\.\\d\\d \\d\\d\\.\\d\\d VALD_AGATE\\.csv$"))
          .match(written[0])
          .hasMatch())
      << written[0].toStdString();
}

TEST(ValdRead, DecimalSeparatorDefaultsToTheSystems) {
  const SimulatorConfig config = FixedSimulatorConfig(21, 100);
  RunningSimulator device(config);
  for (const auto& [locale, separator] :
       {std::pair{QStringLiteral("hu_HU.UTF-8"), ','}, std::pair{QStringLiteral("C"), '.'}}) {
    TempFolder inProcess;
    const SimulatedReadout readout = ReadSimulatedDevice(config, separator, inProcess.Path(), FileTime);
    const QString name = QFileInfo(readout.report.measurementFile).fileName();
    TempFolder out;
    const ProcessResult result = RunValdRead(
        ReadArguments(device.Port(), out.Path(), QString(), {QStringLiteral("127.0.0.1")}), locale);
    ASSERT_EQ(result.exitCode, 0) << locale.toStdString();
    EXPECT_EQ(out.Read(name), inProcess.Read(name)) << locale.toStdString();
  }
}

TEST(ValdRead, UnknownDeviceWritesNothing) {
  RunningSimulator device(FixedSimulatorConfig(20, 50));
  TempFolder out;
  const ProcessResult result = RunValdRead(
      ReadArguments(device.Port(), out.Path(), QStringLiteral(","), {QStringLiteral("127.0.0.1")}));
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.out, QStringLiteral("127.0.0.1: No device\n"));
  EXPECT_TRUE(QDir(out.Path()).isEmpty());
}

TEST(ValdRead, IncompleteLogNamesTheSilentBlocks) {
  SimulatorConfig config = FixedSimulatorConfig(21, 200);
  config.silentFromBlock = 29;
  RunningSimulator device(config);
  TempFolder out;
  const ProcessResult result = RunValdRead(
      ReadArguments(device.Port(), out.Path(), QStringLiteral(","), {QStringLiteral("127.0.0.1")}));
  EXPECT_EQ(result.exitCode, 1);
  const QString file = out.File(QStringLiteral("23.12.03 14.05 VALD_AGATE.csv"));
  EXPECT_EQ(result.out,
            QStringLiteral("127.0.0.1: %1 (incomplete log: no reply for blocks 29-31)\n").arg(file));
  EXPECT_TRUE(QFile::exists(file));
}

TEST(ValdRead, MissingOutputFolderIsReportedPerDevice) {
  RunningSimulator device(FixedSimulatorConfig(21, 50));
  TempFolder parent;
  const QString missing = parent.File(QStringLiteral("missing"));
  const ProcessResult result =
      RunValdRead(ReadArguments(device.Port(), missing, QStringLiteral(","), {QStringLiteral("127.0.0.1")}));
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_TRUE(result.out.startsWith(
      QStringLiteral("127.0.0.1: Cannot create file \"%1/23.12.03 14.05 VALD_AGATE.csv\"").arg(missing)))
      << result.out.toStdString();
  EXPECT_FALSE(QFile::exists(missing));
}

TEST(ValdRead, SeveralDevicesOneAfterAnother) {
  RunningSimulator device(FixedSimulatorConfig(43, 50));
  TempFolder out;
  const ProcessResult result =
      RunValdRead(ReadArguments(device.Port(), out.Path(), QStringLiteral(","),
                                {QStringLiteral("--jobs"), QStringLiteral("1"), QStringLiteral("127.0.0.1"),
                                 QStringLiteral("nonexistent.invalid"), QStringLiteral("localhost")}));
  EXPECT_EQ(result.exitCode, 1);
  const QStringList lines = result.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 3) << result.out.toStdString();
  const QString name = QStringLiteral("23.12.03 14.05 VALD_TOPAZ.csv");
  EXPECT_EQ(lines[0], QStringLiteral("127.0.0.1: %1/127.0.0.1/%2").arg(out.Path(), name));
  EXPECT_TRUE(
      lines[1].startsWith(QStringLiteral("nonexistent.invalid: Cannot resolve host 'nonexistent.invalid'")))
      << lines[1].toStdString();
  EXPECT_EQ(lines[2], QStringLiteral("localhost: %1/localhost/%2").arg(out.Path(), name));
  EXPECT_FALSE(out.Exists(QStringLiteral("nonexistent.invalid")));
  EXPECT_EQ(result.err.count(QStringLiteral(": block 32 of 32\n")), 2);
}

TEST(ValdRead, HelpGoesToStandardOutput) {
  const ProcessResult result = RunValdRead({QStringLiteral("--help")});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_TRUE(result.out.startsWith(QStringLiteral("Usage: vald_read ")));
  EXPECT_TRUE(result.out.contains(QStringLiteral("--time")));
  EXPECT_TRUE(result.err.isEmpty());
}

class ValdReadBadCommandLine : public testing::TestWithParam<std::vector<const char*>> {};

TEST_P(ValdReadBadCommandLine, UsageOnStandardErrorAndStatus2) {
  QStringList arguments;
  for (const char* argument : GetParam()) arguments << QString::fromUtf8(argument);
  const ProcessResult result = RunValdRead(arguments);
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_TRUE(result.out.isEmpty());
  EXPECT_TRUE(result.err.contains(QStringLiteral("Usage: vald_read "))) << result.err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, ValdReadBadCommandLine,
    testing::Values(std::vector<const char*>{}, std::vector<const char*>{"--bogus", "127.0.0.1"},
                    std::vector<const char*>{"--port", "x", "127.0.0.1"},
                    std::vector<const char*>{"--port", "0", "127.0.0.1"},
                    std::vector<const char*>{"--port", "65536", "127.0.0.1"},
                    std::vector<const char*>{"--port"},
                    std::vector<const char*>{"--decimal-separator", "ab", "127.0.0.1"},
                    std::vector<const char*>{"--decimal-separator", "\xE4\xB8\xAD", "127.0.0.1"},
                    std::vector<const char*>{"--time", "2023-13-01 10:00", "127.0.0.1"},
                    std::vector<const char*>{"--out", "/tmp"},
                    std::vector<const char*>{"--jobs", "0", "127.0.0.1"},
                    std::vector<const char*>{"--jobs", "257", "127.0.0.1"}));

}  // namespace
