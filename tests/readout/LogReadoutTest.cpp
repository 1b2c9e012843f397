#include <gtest/gtest.h>

#include <QDir>
#include <optional>

#include "FlakyDevice.h"
#include "core/ValdError.h"
#include "decode/LogImage.h"
#include "link/Exchanges.h"
#include "operations/Readout.h"
#include "support/ShownLog.h"
#include "support/SimulatorFixture.h"
#include "support/SpoiltReply.h"
#include "support/TempFolder.h"
#include "tools/sim/DeviceImage.h"
#include "tools/sim/LogGenerator.h"

// Missed blocks in failure messages as "block 3: 40 bytes".
static void PrintTo(const MissedBlock& missed, std::ostream* os) {
  *os << "block " << missed.block << ": " << missed.replyBytes << " bytes";
}

namespace {

const QDateTime ReadoutTime(QDate(2023, 12, 3), QTime(14, 5));

// One readout against a device on a loopback port, with its own program folder.
struct Readout {
  // The views read values back with the system's separator, so the setting matches it.
  explicit Readout(char decimalSeparator = ',') {
    state.DecimalSeparatorText = QByteArray(1, decimalSeparator);
    env.systemDecimalSeparator = decimalSeparator;
    env.programFolder = folder.Path();
    env.now = [] { return ReadoutTime; };
  }

  ReadoutReport Run(uint16_t port, const std::function<void(int, int)>& progress = {}) {
    link.port = port;
    return ReadDeviceLog(state, view, link, env, QStringLiteral("127.0.0.1"), progress);
  }

  QStringList FilesWritten() const { return QDir(folder.Path()).entryList(QDir::Files); }

  TempFolder folder;
  SharedState state;
  WindowModel view;
  DeviceLink link;
  Environment env;
};

QByteArray Request(const QByteArray& text) {
  return text + '\0';
}

// The requests of a readout that asks for every block once.
QList<QByteArray> ReadoutRequests(int blockCount) {
  QList<QByteArray> requests{Request("EA4352")};
  for (int block = 0; block < blockCount; ++block) requests.append(LogBlockRequest(block) + '\0');
  return requests;
}

SimulatorConfig ImageConfig(int deviceCode, int chipCode, const QByteArray& log) {
  SimulatorConfig config;
  config.image = DeviceImage::ForLog(deviceCode, chipCode, 0, log).ToBytes();
  return config;
}

// An AGATE ring that has turned: two records written after the turn, the "x" write point, two older
// records, then the end of the log.
QByteArray TurnedAgateRing() {
  return RecordImage('w', 30, 10, 0x15, 0x05) + RecordImage('w', 40, 10, 0xFE, 0xFB) +
         RecordImage('x', 0, 10, 0, 0) + RecordImage('w', 10, 10, 0x14, 0x00) +
         RecordImage('w', 20, 10, 0x80, 0x00) + RecordImage('e', 0, 10, 0, 0);
}

const QList<QByteArray> TurnedAgateMeasurements = {
    "2023;12;03;14;10;20,0;20,0;",
    "2023;12;03;14;20;--;--;",
    "2023;12;03;14;30;21,5;21,5;",
    "2023;12;03;14;40;-2,5;-2,5;",
};

TEST(LogReadout, ReadsAnAgateLogIntoTimeOrder) {
  RunningSimulator device(ImageConfig(2, 1, TurnedAgateRing()));
  Readout readout;
  QList<std::pair<int, int>> progress;
  const ReadoutReport report = readout.Run(device.Port(), [&](int block, int count) {
    progress.append({block, count});
  });

  EXPECT_EQ(device.Requests(), ReadoutRequests(32));
  EXPECT_TRUE(report.deviceFound());
  EXPECT_TRUE(report.blocksWithoutReply.isEmpty());
  ASSERT_EQ(progress.size(), 32);
  EXPECT_EQ(progress.last(), std::pair(31, 32));

  const TextLines& decoded = readout.state.DecodedLines;
  ASSERT_EQ(decoded.Count(), 1639);
  EXPECT_EQ(decoded.Get(0), "a;2023;12;03;14;30;21,5;21,5;");
  EXPECT_EQ(decoded.Get(2), "x;2023;12;03;14;00;0,0;0,0;");
  EXPECT_EQ(decoded.Get(3), "b;2023;12;03;14;10;20,0;20,0;");
  EXPECT_EQ(decoded.Get(5), "e;2023;12;03;14;00;0,0;0,0;");
  EXPECT_EQ(decoded.Get(6), "n;2255;255;255;255;255;-1,1;-1,1;");
  EXPECT_EQ(decoded.Get(1638), "n;2255;255;255;");
  EXPECT_EQ(ShownLines(readout.state, readout.env.systemDecimalSeparator).Lines(), TurnedAgateMeasurements);

  EXPECT_EQ(readout.view.memo1, decoded.Text());
  EXPECT_EQ(readout.view.memo2, ShownLines(readout.state, readout.env.systemDecimalSeparator).Text());
  EXPECT_EQ(readout.view.labelDevice, "AGATE");
  EXPECT_EQ(readout.view.statusPanels[3], "25LC254");
  EXPECT_EQ(readout.state.ReceivedByteCount, 32 * LogBlockSize);
  EXPECT_EQ(readout.view.label1, "16384");
  EXPECT_EQ(readout.state.DeviceCode, 2);
  EXPECT_EQ(readout.state.ChipCode, 1);
  EXPECT_EQ(readout.state.RecordLength, 10);

  EXPECT_EQ(readout.FilesWritten(), QStringList{"23.12.03 14.05 VALD_AGATE.csv"});
  EXPECT_EQ(report.measurementFile, readout.folder.File("23.12.03 14.05 VALD_AGATE.csv"));
  EXPECT_EQ(readout.folder.Read("23.12.03 14.05 VALD_AGATE.csv"),
            ShownLines(readout.state, readout.env.systemDecimalSeparator).Text());
}

struct GeneratedLogCase {
  int deviceCode;
  int chipCode;
  int blockCount;
  const char* chipText;  // status bar panel 3 afterwards; "--" where the chip code names no chip
  int piecesPerLine;     // a line split at ";": time stamp, value columns, and what follows the last ";"
};

void PrintTo(const GeneratedLogCase& c, std::ostream* os) {
  *os << "device code " << c.deviceCode << " chip " << c.chipCode;
}

class GeneratedLogs : public testing::TestWithParam<GeneratedLogCase> {};

// The simulator writes a realistic ring for the device; read back, its records come out whole and in
// time order.
TEST_P(GeneratedLogs, ComeOutWholeAndInTimeOrder) {
  const GeneratedLogCase c = GetParam();
  SimulatorConfig config;
  config.deviceCode = c.deviceCode;
  config.chipCode = c.chipCode;
  config.recordCount = 300;
  config.seed = uint32_t(c.deviceCode);
  RunningSimulator device(config);
  Readout readout;
  readout.view.statusPanels[3] = "--";
  const ReadoutReport report = readout.Run(device.Port());

  EXPECT_EQ(device.Requests(), ReadoutRequests(c.blockCount));
  EXPECT_EQ(readout.view.statusPanels[3], c.chipText);
  EXPECT_TRUE(report.blocksWithoutReply.isEmpty());
  const QList<QByteArray> lines = ShownLines(readout.state, readout.env.systemDecimalSeparator).Lines();
  ASSERT_GE(lines.size(), config.recordCount - 1);
  ASSERT_LE(lines.size(), config.recordCount);
  for (qsizetype n = 0; n < lines.size(); ++n) {
    ASSERT_EQ(lines[n].split(';').size(), c.piecesPerLine) << lines[n].constData();
    if (n > 0) {
      ASSERT_LT(lines[n - 1].left(16), lines[n].left(16)) << n;
    }
  }
  EXPECT_EQ(readout.folder.Read(QFileInfo(report.measurementFile).fileName()),
            ShownLines(readout.state, readout.env.systemDecimalSeparator).Text());
}

INSTANTIATE_TEST_SUITE_P(
    DeviceCodes, GeneratedLogs,
    testing::Values(GeneratedLogCase{2, 1, 32, "25LC254", 8}, GeneratedLogCase{21, 2, 96, "25LC512", 8},
                    GeneratedLogCase{12, 2, 96, "25LC512", 7}, GeneratedLogCase{27, 2, 96, "25LC512", 18},
                    GeneratedLogCase{50, 2, 96, "25LC512", 22}, GeneratedLogCase{31, 1, 32, "25LC254", 8},
                    GeneratedLogCase{39, 1, 32, "25LC254", 7}, GeneratedLogCase{104, 2, 96, "25LC512", 10},
                    GeneratedLogCase{55, 2, 96, "25LC512", 15}, GeneratedLogCase{46, 0, 96, "--", 7},
                    GeneratedLogCase{18, 3, 96, "--", 9}));

TEST(LogReadout, ASilentDeviceIsNoDevice) {
  SimulatorConfig config;
  config.silent = true;
  RunningSimulator device(config);
  Readout readout;
  readout.view.memo1 = "earlier dump";
  AddShownLine(readout.state, "2023;12;03;14;05;21,5;");
  const ReadoutReport report = readout.Run(device.Port());

  EXPECT_EQ(device.Requests(), QList<QByteArray>{Request("EA4352")});
  EXPECT_FALSE(report.deviceFound());
  EXPECT_EQ(readout.view.labelDevice, "No device");
  EXPECT_TRUE(readout.view.memo1.isEmpty());
  EXPECT_TRUE(ShownLines(readout.state, readout.env.systemDecimalSeparator).IsEmpty());
  EXPECT_TRUE(report.measurementFile.isEmpty());
  EXPECT_TRUE(readout.FilesWritten().isEmpty());
}

TEST(LogReadout, AnUnknownDeviceCodeRequestsNoBlock) {
  RunningSimulator device(ImageConfig(20, 1, TurnedAgateRing()));
  Readout readout;
  const ReadoutReport report = readout.Run(device.Port());
  EXPECT_EQ(device.Requests(), QList<QByteArray>{Request("EA4352")});
  EXPECT_FALSE(report.deviceFound());
  EXPECT_EQ(readout.view.labelDevice, "No device");
  EXPECT_EQ(readout.view.statusPanels[3], "25LC254");
  EXPECT_TRUE(readout.FilesWritten().isEmpty());
}

TEST(LogReadout, ADeviceThatStopsAnsweringIsAskedTwiceUntilItIsGone) {
  QByteArray log;
  for (int n = 0; n < 32 * LogBlockSize / 10; ++n) log += RecordImage('w', uint8_t(n % 60), 10, 0x15, 0x05);
  SimulatorConfig config = ImageConfig(2, 1, log);
  config.silentFromBlock = 28;
  RunningSimulator device(config);
  Readout readout;
  const ReadoutReport report = readout.Run(device.Port());

  QList<QByteArray> expected = ReadoutRequests(28);
  for (const char* block : {"ED28", "ED28", "ED29", "ED29", "ED30", "ED30", "ED31"})
    expected.append(Request(block));
  EXPECT_EQ(device.Requests(), expected);
  EXPECT_EQ(report.blocksWithoutReply, (QList<MissedBlock>{{28, 0}, {29, 0}, {30, 0}, {31, 0}}));
  // 28 blocks hold 1433.6 records: the record that runs into block 28 and every later one lie on bytes
  // that never came and are left out; the decoded lines close with the empty line of a whole record.
  EXPECT_EQ(readout.state.DecodedLines.Count(), 1434);
  EXPECT_EQ(ShownLines(readout.state, readout.env.systemDecimalSeparator).Count(), 1433);
  EXPECT_EQ(report.lostRecords, 1639 - 1433);  // 1638 whole records and 4 bytes of one more
  EXPECT_EQ(readout.state.ReceivedByteCount, 28 * LogBlockSize);
  EXPECT_EQ(readout.folder.Read(QFileInfo(report.measurementFile).fileName()),
            ShownLines(readout.state, readout.env.systemDecimalSeparator).Text());
}

TEST(LogReadout, ABlockThatAnswersTheSecondRequestDecodesNormally) {
  SimulatorConfig config = ImageConfig(2, 1, TurnedAgateRing());
  FlakyDevice device(config, {0, 17});
  Readout readout;
  const ReadoutReport report = readout.Run(device.Port());

  QList<QByteArray> expected = ReadoutRequests(32);
  expected.insert(1, Request("ED00"));
  expected.insert(19, Request("ED17"));
  EXPECT_EQ(device.Requests(), expected);
  EXPECT_TRUE(report.blocksWithoutReply.isEmpty());
  EXPECT_EQ(ShownLines(readout.state, readout.env.systemDecimalSeparator).Lines(), TurnedAgateMeasurements);
}

TEST(LogReadout, AHeaderOnlyDeviceGivesAnEmptyLogAndAnEmptyFile) {
  SimulatorConfig config = ImageConfig(2, 1, TurnedAgateRing());
  config.silentFromBlock = 0;
  RunningSimulator device(config);
  Readout readout;
  const ReadoutReport report = readout.Run(device.Port());

  EXPECT_EQ(device.Requests().size(), 1 + 3 * 2 + 29);
  EXPECT_EQ(report.blocksWithoutReply.size(), 32);
  EXPECT_EQ(readout.view.labelDevice, "AGATE");
  EXPECT_TRUE(readout.view.memo1.isEmpty());
  EXPECT_TRUE(readout.view.memo2.isEmpty());
  EXPECT_TRUE(ShownLines(readout.state, readout.env.systemDecimalSeparator).IsEmpty());
  ASSERT_EQ(readout.FilesWritten(), QStringList{"23.12.03 14.05 VALD_AGATE.csv"});
  EXPECT_TRUE(readout.folder.Read("23.12.03 14.05 VALD_AGATE.csv").isEmpty());
}

// A generated AGATE ring of 1000 records: the log fills blocks 0 to 19, so a spoilt block 3 cuts it.
SimulatorConfig RingOf1000Records() {
  SimulatorConfig config;
  config.deviceCode = 2;
  config.chipCode = 1;
  config.recordCount = 1000;
  return config;
}

constexpr int SpoiltBlock = 3;

int RequestsFor(const QList<QByteArray>& requests, const QByteArray& text) {
  return int(requests.count(text + '\0'));
}

// The log lines of a readout in which only the first `bytes` bytes of block `block` came from the device
// and every other block came whole: the records on the bytes that did not come are left out.
QList<QByteArray> LogLinesWithBlockCut(const SimulatorConfig& config, int block, int bytes) {
  const DeviceType type = *LookUpDeviceType(config.deviceCode);
  const RecordLog log =
      DecodeImageRecords(SimulatedDeviceImage(config).log, type.recordLength, type.fieldType);
  std::vector<LogRecord> arrived;
  for (size_t k = 0; k < log.records.size(); ++k) {
    const int start = int(k) * type.recordLength;
    const int missingFrom = block * LogBlockSize + bytes;
    const int missingTo = (block + 1) * LogBlockSize;
    const bool overlaps =
        missingFrom < missingTo && start + type.recordLength > missingFrom && start < missingTo;
    if (!overlaps) arrived.push_back(log.records[k]);
  }
  return FormatMeasurementLines(OrderRing(arrived), log.values, {',', ','}).Lines();
}

struct ReplyFaultCase {
  const char* label;
  QList<ReplyFault> faults;  // of the first, second... request for the spoilt block; later ones as usual
  int requests;              // requests for the spoilt block
  std::optional<int> missedReplyBytes;  // the spoilt block listed with this length; nothing: not listed
  int arrivedBytes;                     // bytes of the block taken as the device's
};

void PrintTo(const ReplyFaultCase& c, std::ostream* os) {
  *os << c.label;
}

const ReplyFault Full{};
const ReplyFault Silent{ReplyFaultKind::Silent};

ReplyFault ShortReply(int bytes) {
  return {ReplyFaultKind::Short, bytes};
}

ReplyFault OversizedReply(int bytes) {
  return {ReplyFaultKind::Oversized, bytes};
}

class ReplyFaults : public testing::TestWithParam<ReplyFaultCase> {};

// A block is complete only with a reply of exactly 512 bytes, on the first request or the second; what
// the last request brought is decoded and, if it was not a full reply, named with its length.
TEST_P(ReplyFaults, OnlyAFullReplyCompletesTheBlock) {
  const ReplyFaultCase& c = GetParam();
  SimulatorConfig config = RingOf1000Records();
  config.scriptedFaults.insert(LogBlockRequest(SpoiltBlock), c.faults);
  RunningSimulator device(config);
  Readout readout;
  const ReadoutReport report = readout.Run(device.Port());

  EXPECT_EQ(RequestsFor(device.Requests(), LogBlockRequest(SpoiltBlock)), c.requests);
  EXPECT_EQ(RequestsFor(device.Requests(), LogBlockRequest(SpoiltBlock + 1)), 1);
  const QList<MissedBlock> missed =
      c.missedReplyBytes ? QList<MissedBlock>{{SpoiltBlock, *c.missedReplyBytes}} : QList<MissedBlock>{};
  EXPECT_EQ(report.blocksWithoutReply, missed);
  EXPECT_EQ(ShownLines(readout.state, readout.env.systemDecimalSeparator).Lines(),
            LogLinesWithBlockCut(config, SpoiltBlock, c.arrivedBytes));
  int received = 31 * LogBlockSize;
  for (int request = 0; request < c.requests; ++request) {
    received += ReplyLengthInTime(request < c.faults.size() ? c.faults[request] : Full);
  }
  EXPECT_EQ(readout.state.ReceivedByteCount, received);
  ASSERT_FALSE(report.measurementFile.isEmpty());
  EXPECT_EQ(readout.folder.Read(QFileInfo(report.measurementFile).fileName()),
            ShownLines(readout.state, readout.env.systemDecimalSeparator).Text());
}

INSTANTIATE_TEST_SUITE_P(
    SpoiltBlock, ReplyFaults,
    testing::Values(
        ReplyFaultCase{"ShortThenFull", {ShortReply(40)}, 2, std::nullopt, LogBlockSize},
        ReplyFaultCase{"ShortTwice", {ShortReply(40), ShortReply(40)}, 2, 40, 40},
        ReplyFaultCase{"ShortThenNone", {ShortReply(40), Silent}, 2, 0, 0},
        ReplyFaultCase{"NoneThenShort", {Silent, ShortReply(511)}, 2, 511, 511},
        ReplyFaultCase{"EmptyTwice", {ShortReply(0), ShortReply(0)}, 2, 0, 0},
        ReplyFaultCase{"Oversized513Twice", {OversizedReply(513), OversizedReply(513)}, 2, 513, 0},
        ReplyFaultCase{"Oversized600ThenFull", {OversizedReply(600)}, 2, std::nullopt, LogBlockSize},
        ReplyFaultCase{"Oversized600Twice", {OversizedReply(600), OversizedReply(600)}, 2, 600, 0},
        ReplyFaultCase{"LargestDatagramTwice", {OversizedReply(65507), OversizedReply(65507)}, 2, 65507, 0},
        ReplyFaultCase{"NoneThenFull", {Silent}, 2, std::nullopt, LogBlockSize},
        ReplyFaultCase{"NoneTwice", {Silent, Silent}, 2, 0, 0},
        ReplyFaultCase{"LateThenFull", {{ReplyFaultKind::Late}}, 2, std::nullopt, LogBlockSize},
        ReplyFaultCase{"Twice", {{ReplyFaultKind::Twice}}, 1, std::nullopt, LogBlockSize},
        ReplyFaultCase{"FromAnotherPort", {{ReplyFaultKind::OtherPort}}, 1, std::nullopt, LogBlockSize}),
    [](const auto& info) { return std::string(info.param.label); });

// Only silence counts towards a device that has gone: after three blocks of short replies in a row the
// next silent block is still asked for twice.
TEST(LogReadout, ADeviceThatAnswersShortIsNotTakenAsGone) {
  SimulatorConfig config = RingOf1000Records();
  for (int block : {3, 4, 5})
    config.scriptedFaults.insert(LogBlockRequest(block), {ShortReply(40), ShortReply(40)});
  config.scriptedFaults.insert(LogBlockRequest(6), {Silent});
  RunningSimulator device(config);
  Readout readout;
  const ReadoutReport report = readout.Run(device.Port());

  EXPECT_EQ(RequestsFor(device.Requests(), LogBlockRequest(6)), 2);
  EXPECT_EQ(report.blocksWithoutReply, (QList<MissedBlock>{{3, 40}, {4, 40}, {5, 40}}));
}

TEST(LogReadout, AnOversizedHeaderIsAnErrorNamingItsSize) {
  SimulatorConfig config = RingOf1000Records();
  config.scriptedFaults.insert("EA4352", {OversizedReply(600)});
  RunningSimulator device(config);
  Readout readout;

  try {
    readout.Run(device.Port());
    ADD_FAILURE() << "the readout went on after an oversized header";
  } catch (const ValdError& error) {
    EXPECT_TRUE(error.Message().contains("127.0.0.1")) << error.what();
    EXPECT_TRUE(error.Message().contains("600")) << error.what();
  }
  EXPECT_EQ(device.Requests(), QList<QByteArray>{Request("EA4352")});
  EXPECT_TRUE(readout.FilesWritten().isEmpty());
}

}  // namespace
