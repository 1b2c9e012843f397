#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>

#include "ValdReadProcess.h"
#include "support/SimulatorFixture.h"
#include "support/TempFolder.h"
#include "tools/sim/DeviceImage.h"
#include "tools/sim/LogGenerator.h"

// A device that answers wrongly loses only what it did not send: no value is made up, every record it
// sent is kept, and what does not hold together is named.
namespace {

constexpr int Code = 21;  // AGATE, 10-byte records: block 10 holds parts of 52 records
const QString FileName = QStringLiteral("23.12.03 14.05 VALD_AGATE.csv");

SimulatorConfig Agate() {
  SimulatorConfig config;
  config.deviceCode = Code;
  config.chipCode = 1;
  config.recordCount = 1000;
  config.wrapped = true;
  config.seed = 7;
  config.start = QDateTime(QDate(2024, 3, 1), QTime(0, 0));
  config.intervalMinutes = 10;
  return config;
}

// The device's log with some of its bytes changed.
SimulatorConfig WithLog(const std::function<void(QByteArray& log)>& change) {
  SimulatorConfig config = Agate();
  QByteArray log = SimulatedDeviceImage(config).log;
  change(log);
  config.image = DeviceImage::ForLog(Code, 1, 0, log).ToBytes();
  return config;
}

struct DeviceRun {
  ProcessResult process;
  QList<QByteArray> lines;
  QJsonObject json;
};

DeviceRun ReadDevice(const SimulatorConfig& config) {
  RunningSimulator device(config);
  TempFolder out;
  DeviceRun run;
  run.process = RunValdRead({QStringLiteral("--port"), QString::number(device.Port()),
                             QStringLiteral("--out"), out.Path(), QStringLiteral("--time"),
                             QStringLiteral("2023-12-03 14:05"), QStringLiteral("--archive"),
                             QStringLiteral("off"), QStringLiteral("--json"), QStringLiteral("127.0.0.1")});
  run.lines = out.Read(FileName).split('\n');
  run.json = QJsonDocument::fromJson(run.process.out.toUtf8()).object();
  return run;
}

struct BrokenCase {
  const char* label;
  std::function<SimulatorConfig()> device;
  int lostRecords;
  const char* error;  // the outcome's error
  int invalidDates;
};

class BrokenDevice : public testing::TestWithParam<BrokenCase> {};

TEST_P(BrokenDevice, KeepsWhatArrivedAndNamesTheFault) {
  const BrokenCase& c = GetParam();
  SimulatorConfig answering = c.device();
  answering.scriptedFaults.clear();
  const DeviceRun clean = ReadDevice(answering);
  const DeviceRun broken = ReadDevice(c.device());
  EXPECT_EQ(broken.process.exitCode, 1) << broken.process.out.toStdString();
  EXPECT_EQ(broken.json[QStringLiteral("error")].toString(), QString::fromUtf8(c.error));
  EXPECT_EQ(broken.json[QStringLiteral("lostRecords")].toInt(), c.lostRecords);
  EXPECT_EQ(broken.json[QStringLiteral("invalidDates")].toInt(), c.invalidDates);
  // Every line written is one the device holds, and only the lost records are missing.
  const QSet<QByteArray> held(clean.lines.begin(), clean.lines.end());
  for (const QByteArray& line : broken.lines) EXPECT_TRUE(held.contains(line)) << line.toStdString();
  EXPECT_EQ(broken.lines.size(), clean.lines.size() - c.lostRecords);
}

QByteArray Block(int block) {
  return "ED" + QByteArray::number(block).rightJustified(2, '0');
}

SimulatorConfig Spoilt(int block, ReplyFault fault) {
  SimulatorConfig config = Agate();
  config.scriptedFaults.insert(Block(block), {fault, fault});
  return config;
}

INSTANTIATE_TEST_SUITE_P(
    Faults, BrokenDevice,
    testing::Values(
        BrokenCase{"SilentBlock",
                   [] {
                     return Spoilt(10, {ReplyFaultKind::Silent, 0});
                   },
                   52, "incomplete log: no reply for blocks 10; 52 records lost", 0},
        BrokenCase{"ShortBlock",
                   [] {
                     return Spoilt(10, {ReplyFaultKind::Short, 100});
                   },
                   42, "incomplete log: short reply for blocks 10 (100 bytes); 42 records lost", 0},
        BrokenCase{"OversizedBlock",
                   [] {
                     return Spoilt(10, {ReplyFaultKind::Oversized, 600});
                   },
                   52, "incomplete log: oversized reply for blocks 10 (600 bytes); 52 records lost", 0},
        BrokenCase{"InvalidDates",
                   [] {
                     return WithLog([](QByteArray& log) {
                       log[10 * 10 + 2] = 13;  // month 13
                       log[20 * 10 + 3] = 0;   // day 0
                     });
                   },
                   0, "2 records with an invalid date, not archived", 2}),
    [](const auto& info) { return std::string(info.param.label); });

// A block answered with another block's bytes: the file holds what came, and the log is named suspect.
TEST(BrokenDevice, ABlockRepeatingAnotherMakesTheLogSuspect) {
  const DeviceRun run = ReadDevice(WithLog([](QByteArray& log) {
    log.replace(10 * DeviceImage::BlockSize, DeviceImage::BlockSize,
                log.mid(9 * DeviceImage::BlockSize, DeviceImage::BlockSize));
  }));
  EXPECT_EQ(run.process.exitCode, 1);
  EXPECT_TRUE(
      run.json[QStringLiteral("suspect")].toString().startsWith(QStringLiteral("block 10 repeats block 9")))
      << run.process.out.toStdString();
  EXPECT_GT(run.lines.size(), 900);
}

}  // namespace
