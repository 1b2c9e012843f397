#include <gtest/gtest.h>

#include "decode/DeviceCatalogue.h"
#include "link/Exchanges.h"
#include "link/LinkTestSupport.h"
#include "link/MemoryMap.h"
#include "readout/LogReadout.h"

#include <QElapsedTimer>

namespace {

QByteArray Repeated(const QByteArray& piece, int times) {
  return piece.repeated(times);
}

// A dump of 512 entries of one byte each (or of one entry 512 times), in 8 lines of 64.
QByteArray DumpOf(const QByteArray& entries, int entrySize = 1) {
  QByteArray text;
  for (int line = 0; line < 8; ++line) text += entries.mid(line * 64 * entrySize, 64 * entrySize) + "\r\n";
  return text;
}

TEST(RequestTexts, MemoryAndBlockRequestsAreDecimalWithTwoDigitBlocks) {
  EXPECT_EQ(MemoryReadRequest(4352), "EA4352");
  EXPECT_EQ(MemoryReadRequest(0), "EA0");
  EXPECT_EQ(LogBlockRequest(0), "ED00");
  EXPECT_EQ(LogBlockRequest(7), "ED07");
  EXPECT_EQ(LogBlockRequest(95), "ED95");
  EXPECT_EQ(LogBlockRequest(123), "ED123");
}

TEST(ExchangeAsText, ShortReplyIsPaddedWithZerosShownAsDots) {
  SimulatorConfig config = MemoryStartingWith(QByteArray("A\0B", 3));
  config.oversizedReplyBytes = 3;  // the device answers with three bytes only
  LinkSession s(config);
  MemoryDump dump;

  const ExchangeReply reply = ExchangeAsText(s.link, MemoryReadRequest(0), dump);

  EXPECT_EQ(s.simulator.Requests(), QList<QByteArray>{QByteArray("EA0\0", 4)});
  EXPECT_EQ(dump.OutputText, DumpOf("A.B" + Repeated(".", 509)));
  EXPECT_EQ(reply.length, 3);
  EXPECT_EQ(reply.bytes, QByteArray("A\0B", 3)) << "the reply keeps the zero byte as received";
  EXPECT_EQ(dump.LinePosition, 0);
}

TEST(ExchangeAsDecimal, SilentDeviceGivesZerosAndNoBytes) {
  SimulatorConfig config;
  config.silent = true;
  LinkSession s(config);
  MemoryDump dump;

  EXPECT_EQ(ExchangeAsDecimal(s.link, MemoryReadRequest(HeaderAddress), dump).length, 0);

  EXPECT_EQ(dump.OutputText, DumpOf(Repeated("0;", 512), 2));
}

TEST(ExchangeAsDecimal, TwoDumpsInARowMakeSixteenLinesOfSixtyFourValues) {
  QByteArray memory;
  for (int i = 0; i < 512; ++i) memory.append(char(i));
  LinkSession s(MemoryStartingWith(memory));
  MemoryDump dump;

  ExchangeAsDecimal(s.link, MemoryReadRequest(0), dump);
  ExchangeAsDecimal(s.link, MemoryReadRequest(0), dump);

  TextLines lines;
  lines.SetText(dump.OutputText);
  ASSERT_EQ(lines.Count(), 16);
  for (const QByteArray& line : lines.Lines()) EXPECT_EQ(line.count(';'), 64);
  EXPECT_TRUE(lines.Get(0).startsWith("0;1;2;3;"));
  EXPECT_TRUE(lines.Get(7).endsWith(";254;255;"));
  EXPECT_EQ(lines.Get(8), lines.Get(0));
}

TEST(ExchangeForReplyText, ReturnsTheTextUpToItsZeroByte) {
  SimulatorConfig config;
  config.netresetReply = "OK";
  LinkSession s(config);

  EXPECT_EQ(ExchangeForReplyText(s.link, NetResetRequest, DeviceLink::ReplyTextTimeoutMs), "OK");
  EXPECT_EQ(s.simulator.Requests(), QList<QByteArray>{QByteArray("netreset\0", 9)});
}

TEST(ExchangeForReplyText, SilentDeviceGivesEmptyText) {
  SimulatorConfig config;
  config.silent = true;
  LinkSession s(config);

  EXPECT_EQ(ExchangeForReplyText(s.link, IdentityRequest, DeviceLink::ReplyTextTimeoutMs), "");
  EXPECT_EQ(s.simulator.Requests(), QList<QByteArray>{QByteArray("E47305826\0", 10)});
}

TEST(ExchangeForReplyText, UnterminatedReplyEndsWithItsLastByte) {
  SimulatorConfig config;
  config.identityReply = Repeated("Z", 200);
  config.oversizedReplyBytes = 150;  // the reply is cut to 150 bytes: no zero byte arrives
  LinkSession s(config);

  EXPECT_EQ(ExchangeForReplyText(s.link, IdentityRequest, DeviceLink::ReplyTextTimeoutMs),
            Repeated("Z", 150));
}

// The device protocol's reply time: a reply that takes 300 ms is an answer, and an exchange with a silent
// device ends after about 400 ms, blocking or as a readout's exchanges wait, on the event loop.
TEST(ReplyTime, AReplyAfter300MsIsTaken) {
  SimulatorConfig config = MemoryStartingWith(QByteArray(512, 'a'));
  config.replyDelayMs = 300;
  LinkSession s(config);

  EXPECT_EQ(ExchangeRequest(s.link, MemoryReadRequest(0)).length, 512);
}

TEST(ReplyTime, ASilentReadoutEndsAfterAbout400Ms) {
  SimulatorConfig config;
  config.silent = true;
  LinkSession s(config);
  QElapsedTimer elapsed;
  elapsed.start();
  ReadoutResult result;

  ReadLog(s.state, s.link, {}, QStringLiteral("127.0.0.1"), result);

  EXPECT_FALSE(result.headerAnswered);
  EXPECT_GE(elapsed.elapsed(), 380);
  EXPECT_LT(elapsed.elapsed(), 590);
}

}  // namespace
