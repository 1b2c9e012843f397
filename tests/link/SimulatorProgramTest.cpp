#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>
#include <array>
#include <csignal>

#include "link/Exchanges.h"
#include "support/SpoiltReply.h"
#include "support/TempFolder.h"
#include "tools/sim/AddressIdentity.h"
#include "tools/sim/DeviceImage.h"

namespace {

DeviceLink LoopbackLink(uint16_t port) {
  DeviceLink link;
  link.host = QStringLiteral("127.0.0.1");
  link.port = port;
  return link;
}

constexpr int StartMs = 10000;

// vald_sim started with `arguments` plus an OS-chosen port; Port() is what it printed.
class SimulatorProgram {
 public:
  explicit SimulatorProgram(QStringList arguments) {
    process_.setProgram(QStringLiteral(VALD_SIM_PROGRAM));
    process_.setArguments(arguments << QStringLiteral("--port") << QStringLiteral("0"));
    process_.start();
    if (!process_.waitForStarted(StartMs)) return;
    while (!process_.canReadLine() && process_.waitForReadyRead(StartMs)) {
    }
    const QString line = QString::fromLatin1(process_.readLine()).trimmed();
    const auto match =
        QRegularExpression(QStringLiteral("^listening on 127\\.0\\.0\\.1:(\\d+)$")).match(line);
    if (match.hasMatch()) port_ = uint16_t(match.captured(1).toUInt());
  }
  ~SimulatorProgram() {
    process_.kill();
    process_.waitForFinished(StartMs);
  }

  uint16_t Port() const { return port_; }
  // Sends `signal` and returns the exit code, or -1 when the program did not end by itself.
  int StopWith(int signal) {
    ::kill(pid_t(process_.processId()), signal);
    if (!process_.waitForFinished(StartMs) || process_.exitStatus() != QProcess::NormalExit) return -1;
    return process_.exitCode();
  }

 private:
  QProcess process_;
  uint16_t port_ = 0;
};

class StopSignal : public testing::TestWithParam<int> {};

TEST_P(StopSignal, SimulatorServesUntilSignalledAndExitsCleanly) {
  SimulatorProgram simulator(
      {QStringLiteral("--device"), QStringLiteral("21"), QStringLiteral("--chip"), QStringLiteral("2")});
  ASSERT_NE(simulator.Port(), 0);
  DeviceLink link = LoopbackLink(simulator.Port());

  const ExchangeReply reply = ExchangeRequest(link, MemoryReadRequest(4352));

  EXPECT_EQ(reply.length, 512);
  EXPECT_EQ(reply.bytes[0], 21);
  EXPECT_EQ(reply.bytes[1], 2);
  EXPECT_EQ(simulator.StopWith(GetParam()), 0);
}

INSTANTIATE_TEST_SUITE_P(Signals, StopSignal, testing::Values(SIGINT, SIGTERM));

TEST(SimulatorProgram, SavedImageIsServedAgain) {
  TempFolder folder;
  const QString imageFile = folder.File(QStringLiteral("device.img"));
  ASSERT_EQ(QProcess::execute(QStringLiteral(VALD_SIM_PROGRAM),
                              {QStringLiteral("--device"), QStringLiteral("55"), QStringLiteral("--chip"),
                               QStringLiteral("1"), QStringLiteral("--save-image"), imageFile}),
            0);
  const DeviceImage image = DeviceImage::FromBytes(folder.Read(QStringLiteral("device.img")));
  ASSERT_EQ(image.log.size(), 32 * 512);

  SimulatorProgram simulator({QStringLiteral("--image"), imageFile});
  ASSERT_NE(simulator.Port(), 0);
  DeviceLink link = LoopbackLink(simulator.Port());

  EXPECT_EQ(ExchangeRequest(link, LogBlockRequest(31)).bytes, image.log.right(512));
}

// A hostile seed: about a third of its replies are spoilt, the first ones among them.
constexpr uint32_t HostileSeed = 16;

TEST(SimulatorProgram, ChaosSeedSpoilsEachReplyAsItsFaultSays) {
  SimulatorProgram simulator({QStringLiteral("--chaos"), QString::number(HostileSeed)});
  ASSERT_NE(simulator.Port(), 0);
  DeviceLink link = LoopbackLink(simulator.Port());
  QList<int> expected;
  QList<int> received;
  for (int request = 0; request < 24; ++request) {
    expected.append(ReplyLengthInTime(ChaosFault(HostileSeed, request)));
    // Well before a late reply comes.
    received.append(link.Exchange(LogBlockRequest(0) + '\0', 100, ReceiveBufferSize).length);
  }
  EXPECT_EQ(received, expected);
  EXPECT_LT(expected.count(512), expected.size());
}

TEST(SimulatorProgram, RejectsANonNumericOption) {
  EXPECT_EQ(QProcess::execute(QStringLiteral(VALD_SIM_PROGRAM),
                              {QStringLiteral("--records"), QStringLiteral("many")}),
            2);
}

// Simulators side by side are different devices: each answers the identity request with a MAC address of
// its own address and port, unless --identity gives the reply.
TEST(SimulatorProgram, IdentityIsTheSimulatorsOwnUnlessGiven) {
  SimulatorProgram first({});
  SimulatorProgram second({});
  SimulatorProgram given({QStringLiteral("--identity"), QStringLiteral("AA:BB:CC:DD:EE:FF;SN9")});
  const auto identity = [](const SimulatorProgram& simulator) {
    DeviceLink link = LoopbackLink(simulator.Port());
    return ExchangeForReplyText(link, IdentityRequest + '\0', 1000);
  };
  const QByteArray rest = ";SN0001;R-17;AGATE;v2.3;c1";
  for (const SimulatorProgram* simulator : {&first, &second}) {
    ASSERT_NE(simulator->Port(), 0);
    EXPECT_EQ(identity(*simulator), AddressIdentity(QHostAddress(QHostAddress::LocalHost), simulator->Port(),
                                                    "00:1A:2B:3C:4D:5E" + rest));
  }
  EXPECT_NE(identity(first).left(17), identity(second).left(17));
  EXPECT_EQ(identity(given), "AA:BB:CC:DD:EE:FF;SN9");
}

}  // namespace
