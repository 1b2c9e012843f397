#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QUdpSocket>
#include <algorithm>
#include <array>

#include "core/ValdError.h"
#include "link/DeviceExchange.h"
#include "link/ExchangeSocket.h"
#include "link/Exchanges.h"
#include "link/LinkTestSupport.h"
#include "link/ScriptedPeer.h"
#include "link/StrangerFlood.h"

namespace {

using Reply = std::array<uint8_t, ReceiveBufferSize>;

// Memory whose first two 512-byte blocks read 'a' and 'b', so each reply shows which request it answers.
SimulatorConfig TwoBlockMemory() {
  return MemoryStartingWith(QByteArray(512, 'a') + QByteArray(512, 'b'));
}

DeviceLink LinkTo(uint16_t port, const QString& host = QStringLiteral("127.0.0.1")) {
  DeviceLink link;
  link.host = host;
  link.port = port;
  return link;
}

int ExchangeInto(DeviceLink& link, const QByteArray& request, int timeoutMs, Reply& reply) {
  reply.fill(0);
  const ExchangeReply received = link.Exchange(request + '\0', timeoutMs, int(reply.size()));
  std::copy(received.bytes.begin(), received.bytes.end(), reply.begin());
  return received.length;
}

// The error of an exchange as every exchange but a log block's is made.
QString ErrorOf(DeviceLink& link, const QByteArray& request) {
  try {
    ExchangeRequest(link, request);
  } catch (const ValdError& error) {
    return error.Message();
  }
  return {};
}

TEST(DeviceLinkExchange, LateReplyIsNeverReadByTheNextExchange) {
  SimulatorConfig late = TwoBlockMemory();
  late.lateReplyMs = 300;
  RunningSimulator lateDevice(late);
  SimulatorConfig silent;
  silent.silent = true;
  RunningSimulator silentDevice(silent);
  DeviceLink link = LinkTo(lateDevice.Port());
  Reply reply{};

  EXPECT_EQ(ExchangeInto(link, "EA0", 50, reply), 0);
  // The late reply arrives ~250 ms into this exchange, from the same address.
  link.port = silentDevice.Port();
  EXPECT_EQ(ExchangeInto(link, "EA512", 1000, reply), 0);
  EXPECT_EQ(reply[0], 0);
}

TEST(DeviceLinkExchange, DuplicateReplyDoesNotReachTheNextExchange) {
  SimulatorConfig config = TwoBlockMemory();
  config.duplicateReplies = true;
  RunningSimulator device(config);
  DeviceLink link = LinkTo(device.Port());
  Reply reply{};

  EXPECT_EQ(ExchangeInto(link, "EA0", DeviceLink::ReplyTimeoutMs, reply), 512);
  EXPECT_EQ(reply[0], 'a');
  EXPECT_EQ(ExchangeInto(link, "EA512", DeviceLink::ReplyTimeoutMs, reply), 512);
  EXPECT_EQ(reply[0], 'b');
  EXPECT_EQ(reply[512], 0);
}

// The event loop's exchanges bind their socket before the request goes out: a datagram that reached it
// earlier, from the device's address too (a late reply to an exchange that had the same port), is
// no reply to the request.
TEST(DeviceLinkExchange, DatagramBeforeTheRequestIsNoReply) {
  RunningSimulator device(TwoBlockMemory());
  const DeviceLink link = LinkTo(device.Port());
  const std::unique_ptr<ExchangeSocket> exchange = OpenExchangeSocket(link);
  QUdpSocket earlier;
  ASSERT_EQ(earlier.writeDatagram("stale", QHostAddress::LocalHost, exchange->LocalPort()), 5);

  exchange->Send(QByteArray("EA0\0", 4), link.port);

  ASSERT_TRUE(exchange->WaitForDatagram(2000));
  const std::optional<ExchangeReply> reply = exchange->TakeReply(ReceiveBufferSize);
  ASSERT_TRUE(reply.has_value());
  EXPECT_EQ(reply->bytes, QByteArray(512, 'a'));
}

// The simulated device's delayed replies go out in the order of their requests, none before its delay,
// whether they wait on the timer alone or punctually on the clock as well.
class DelayedReplies : public testing::TestWithParam<bool> {};

TEST_P(DelayedReplies, KeepTheirOrderAndTheirDelay) {
  SimulatorConfig config = TwoBlockMemory();
  config.replyDelayMs = 20;
  config.punctualReplies = GetParam();
  RunningSimulator device(config);
  QUdpSocket client;
  ASSERT_TRUE(client.bind(QHostAddress::LocalHost, 0));
  QElapsedTimer sent;
  sent.start();
  client.writeDatagram(QByteArray("EA0\0", 4), QHostAddress::LocalHost, device.Port());
  client.writeDatagram(QByteArray("EA512\0", 6), QHostAddress::LocalHost, device.Port());

  QList<char> replies;
  while (replies.size() < 2 && (client.hasPendingDatagrams() || client.waitForReadyRead(2000))) {
    if (replies.isEmpty()) {
      EXPECT_GE(sent.elapsed(), config.replyDelayMs);
    }
    replies.append(client.receiveDatagram().data().front());
  }
  EXPECT_EQ(replies, QList<char>({'a', 'b'}));
}

INSTANTIATE_TEST_SUITE_P(SimulatedDevice, DelayedReplies, testing::Bool());

class OversizedReply : public testing::TestWithParam<int> {};

TEST_P(OversizedReply, ReportsItsTrueLengthAndFillsNoMoreThanTheBuffer) {
  SimulatorConfig config = TwoBlockMemory();
  config.oversizedReplyBytes = GetParam();
  RunningSimulator device(config);
  DeviceLink link = LinkTo(device.Port());

  const ExchangeReply reply =
      link.Exchange(QByteArray("EA0\0", 4), DeviceLink::ReplyTimeoutMs, ReceiveBufferSize);

  EXPECT_EQ(reply.length, GetParam());
  ASSERT_EQ(reply.bytes.size(), ReceiveBufferSize);
  EXPECT_EQ(reply.bytes[0], 'a');
  EXPECT_EQ(uint8_t(reply.bytes[512]), 0x55);
}

TEST_P(OversizedReply, IsAnErrorNamingHostAndSizeOutsideALogBlock) {
  SimulatorConfig config;
  config.oversizedReplyBytes = GetParam();
  RunningSimulator device(config);
  DeviceLink link = LinkTo(device.Port());

  const QString message = ErrorOf(link, "EA0");

  EXPECT_TRUE(message.contains("127.0.0.1")) << message.toStdString();
  EXPECT_TRUE(message.contains(QString::number(GetParam()))) << message.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Sizes, OversizedReply, testing::Values(514, 600, 65507));

TEST(DeviceLinkExchange, FullCapacityReplyIsAccepted) {
  SimulatorConfig config = TwoBlockMemory();
  config.oversizedReplyBytes = ReceiveBufferSize;
  RunningSimulator device(config);
  DeviceLink link = LinkTo(device.Port());
  Reply reply{};

  EXPECT_EQ(ExchangeInto(link, "EA0", DeviceLink::ReplyTimeoutMs, reply), 513);
  EXPECT_EQ(reply[512], 0x55);
}

TEST(DeviceLinkExchange, EmptyReplyCountsAsZeroBytes) {
  ScriptedPeer peer({{false, QByteArray()}});
  DeviceLink link = LinkTo(peer.Port());
  Reply reply{};

  EXPECT_EQ(ExchangeInto(link, "EA0", 2000, reply), 0);
  EXPECT_EQ(peer.Request(), QByteArray("EA0\0", 4));
}

// The length of an exchange that waits on the event loop, as the readout's exchanges do; 0 for none.
int EventLoopExchange(const DeviceLink& link, const QByteArray& request, int timeoutMs) {
  DeviceExchange exchange;
  QEventLoop loop;
  int length = -1;
  QObject::connect(&exchange, &DeviceExchange::Finished, &loop,
                   [&](const ExchangeReply& reply, const QString&) {
                     length = reply.length;
                     loop.quit();
                   });
  exchange.Start(link, request + '\0', timeoutMs, ReceiveBufferSize);
  loop.exec();
  return length;
}

// The time-out is a deadline, whether the exchange waits blocking or on the event loop: datagrams from
// another address that never stop coming are passed over only until then. The margin allows for a
// loaded machine.
class StrangerFloodExchange : public testing::TestWithParam<bool> {};

TEST_P(StrangerFloodExchange, EndsAtTheTimeOut) {
  const bool onTheEventLoop = GetParam();
  StrangerFlood flood;
  if (flood.Port() == 0) GTEST_SKIP() << "no second loopback address";
  DeviceLink link = LinkTo(flood.Port());
  Reply reply{};
  constexpr int TimeoutMs = 200;
  QElapsedTimer elapsed;
  elapsed.start();

  EXPECT_EQ(onTheEventLoop ? EventLoopExchange(link, "EA0", TimeoutMs)
                           : ExchangeInto(link, "EA0", TimeoutMs, reply),
            0);

  EXPECT_LT(elapsed.elapsed(), TimeoutMs + 300);
  EXPECT_GT(flood.DatagramsSent(), 0);
}

INSTANTIATE_TEST_SUITE_P(Waits, StrangerFloodExchange, testing::Values(false, true),
                         [](const auto& info) { return info.param ? "OnTheEventLoop" : "Blocking"; });

TEST(DeviceLinkExchange, DatagramFromAnotherAddressIsIgnoredWhileWaiting) {
  ScriptedPeer peer({{true, "stranger"}, {false, "device"}});
  if (peer.Port() == 0) GTEST_SKIP() << "no second loopback address";
  DeviceLink link = LinkTo(peer.Port());
  Reply reply{};

  ASSERT_EQ(ExchangeInto(link, "netreset", 2000, reply), 6);
  EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(reply.data())), "device");
}

// The broadcast address of a local interface other than loopback, or nothing.
QHostAddress LocalBroadcastAddress() {
  for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
    for (const QNetworkAddressEntry& entry : interface.addressEntries()) {
      if (!entry.broadcast().isNull() && !entry.ip().isLoopback()) return entry.broadcast();
    }
  }
  return {};
}

TEST(DeviceLinkExchange, ReplyToABroadcastComesFromTheDevicesOwnAddress) {
  const QHostAddress broadcast = LocalBroadcastAddress();
  if (broadcast.isNull()) GTEST_SKIP() << "no interface with a broadcast address";
  ScriptedPeer peer({{false, "device"}}, QHostAddress::AnyIPv4);
  DeviceLink link = LinkTo(peer.Port(), broadcast.toString());
  Reply reply{};

  ASSERT_EQ(ExchangeInto(link, "netreset", 2000, reply), 6);
  EXPECT_EQ(peer.Request(), QByteArray("netreset\0", 9));
}

TEST(DeviceLinkExchange, HostNameIsResolvedBeforeSending) {
  RunningSimulator device(TwoBlockMemory());
  DeviceLink link = LinkTo(device.Port(), QStringLiteral("localhost"));
  Reply reply{};

  EXPECT_EQ(ExchangeInto(link, "EA512", DeviceLink::ReplyTimeoutMs, reply), 512);
  EXPECT_EQ(reply[0], 'b');
}

TEST(DeviceLinkExchange, UnresolvableHostIsAnErrorNamingIt) {
  DeviceLink link = LinkTo(DeviceLink::DefaultPort, QStringLiteral("no-such-device.invalid"));

  EXPECT_TRUE(ErrorOf(link, "EA0").contains("no-such-device.invalid"));
}

TEST(DeviceLinkExchange, PortWithNothingListeningIsNoReply) {
  uint16_t closedPort = 0;
  {
    QUdpSocket placeholder;
    ASSERT_TRUE(placeholder.bind(QHostAddress::LocalHost, 0));
    closedPort = placeholder.localPort();
  }
  DeviceLink link = LinkTo(closedPort);
  Reply reply{};

  EXPECT_EQ(ExchangeInto(link, "EA0", 100, reply), 0);
  EXPECT_EQ(ExchangeInto(link, "EA0", 100, reply), 0);
}

}  // namespace
