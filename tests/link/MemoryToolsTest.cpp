#include <gtest/gtest.h>

#include "core/ValdError.h"
#include "link/LinkTestSupport.h"
#include "operations/ServiceTools.h"
#include "support/ShownLog.h"

namespace {

QByteArray Request(const QByteArray& text) {
  return text + '\0';
}

// Device memory whose 512-byte blocks at 4352 and 4864 read "H..." and "J...", with a header word.
SimulatorConfig HeaderAndNextBlock(int32_t headerWord = 10000) {
  DeviceImage image = DeviceImage::ForLog(2, 1, headerWord, {});
  image.memory.replace(4352 + 2, 10, "HEADERTEXT");
  image.memory.replace(4864, 512, QByteArray(512, 'J'));
  SimulatorConfig config;
  config.image = image.ToBytes();
  return config;
}

SimulatorConfig SilentDevice() {
  SimulatorConfig config;
  config.silent = true;
  return config;
}

TEST(DumpMemoryAsText, AdvancesByOneBlockPerRequestAndKeepsLogLines) {
  LinkSession s(HeaderAndNextBlock());
  s.view.eeAddrEdit = "$1100";
  s.view.blockCountEdit = "2";
  AddShownLine(s.state, "2024;03;01;00;00;21,5;20,0;");
  s.state.ReceivedByteCount = 99;

  DumpMemoryAsText(s.state, s.view, s.link);

  EXPECT_EQ(s.simulator.Requests(), (QList<QByteArray>{Request("EA4352"), Request("EA4864")}));
  EXPECT_EQ(s.view.memo1, s.state.DecodedLines.Lines().join("\r\n"));
  ASSERT_EQ(s.state.DecodedLines.Count(), 17);  // 16 dump lines, then the empty line after the final CR LF
  EXPECT_TRUE(s.state.DecodedLines.Get(0).startsWith("\x02\x01HEADERTEXT"));
  EXPECT_EQ(s.state.DecodedLines.Get(8), QByteArray(64, 'J'));
  EXPECT_EQ(s.state.DecodedLines.Get(16), "");
  EXPECT_EQ(s.state.LogRecords.Count(), 1);
  EXPECT_EQ(s.view.label1, "1024");
}

TEST(DumpMemoryAsDecimal, RepeatsTheSameAddressAndClearsBothLists) {
  LinkSession s(HeaderAndNextBlock());
  s.view.eeAddrEdit = "$1100";
  s.view.blockCountEdit = "2";
  AddShownLine(s.state, "2024;03;01;00;00;21,5;20,0;");

  DumpMemoryAsDecimal(s.state, s.view, s.link);

  EXPECT_EQ(s.simulator.Requests(), (QList<QByteArray>{Request("EA4352"), Request("EA4352")}));
  ASSERT_EQ(s.state.DecodedLines.Count(), 17);
  EXPECT_TRUE(s.state.DecodedLines.Get(0).startsWith("2;1;72;69;"));
  EXPECT_EQ(s.state.DecodedLines.Get(8), s.state.DecodedLines.Get(0));
  EXPECT_EQ(s.view.memo1, s.state.DecodedLines.Text());
  EXPECT_TRUE(s.state.LogRecords.IsEmpty());
  EXPECT_EQ(s.state.ReceivedByteCount, 1024);
}

class AddressNotation : public testing::TestWithParam<const char*> {};

TEST_P(AddressNotation, HexadecimalAndDecimalGiveTheSameRequest) {
  LinkSession s(HeaderAndNextBlock());
  s.view.eeAddrEdit = GetParam();

  DumpMemoryAsText(s.state, s.view, s.link);

  EXPECT_EQ(s.simulator.Requests(), QList<QByteArray>{Request("EA4352")});
}

INSTANTIATE_TEST_SUITE_P(Notations, AddressNotation, testing::Values("$1100", "4352"));

using DumpTool = void (*)(SharedState&, WindowModel&, DeviceLink&);

struct DumpToolCase {
  const char* name;
  DumpTool tool;
  QByteArray silentEntry;  // what one byte of a silent device's dump shows
};

class DumpTools : public testing::TestWithParam<DumpToolCase> {};

TEST_P(DumpTools, CountOfZeroSendsNothingAndShowsNoValues) {
  LinkSession s(HeaderAndNextBlock());
  s.view.blockCountEdit = "0";

  GetParam().tool(s.state, s.view, s.link);

  EXPECT_TRUE(s.simulator.Requests().isEmpty());
  EXPECT_EQ(s.view.memo1.trimmed(), "");
  EXPECT_EQ(s.state.DecodedLines.Lines(), QList<QByteArray>{""});
}

TEST_P(DumpTools, SilentDeviceShowsZeroBytes) {
  LinkSession s(SilentDevice());

  GetParam().tool(s.state, s.view, s.link);

  EXPECT_EQ(s.simulator.Requests(), QList<QByteArray>{Request("EA4352")});
  EXPECT_EQ(s.state.DecodedLines.Count(), 9);
  EXPECT_EQ(s.state.DecodedLines.Get(7), GetParam().silentEntry.repeated(64));
  EXPECT_EQ(s.view.label1, "0");
}

struct BadField {
  QByteArray count;
  QByteArray address;
};

TEST_P(DumpTools, NonIntegerFieldResetsTheStateAndSendsNothing) {
  for (const BadField& bad : {BadField{"abc", "$1100"}, BadField{"1", "12x"}, BadField{"", "$1100"}}) {
    LinkSession s(HeaderAndNextBlock());
    s.view.blockCountEdit = bad.count;
    s.view.eeAddrEdit = bad.address;
    s.state.ReceivedByteCount = 512;

    EXPECT_THROW(GetParam().tool(s.state, s.view, s.link), ValdError)
        << bad.count.data() << bad.address.data();

    EXPECT_TRUE(s.simulator.Requests().isEmpty());
    EXPECT_EQ(s.state.ReceivedByteCount, 0);
  }
}

INSTANTIATE_TEST_SUITE_P(Tools, DumpTools,
                         testing::Values(DumpToolCase{"Decimal", DumpMemoryAsDecimal, "0;"},
                                         DumpToolCase{"Text", DumpMemoryAsText, "."}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DumpMemoryAsDecimal, NonIntegerCountClearsTheListsFirst) {
  LinkSession s(HeaderAndNextBlock());
  s.view.blockCountEdit = "x";
  AddShownLine(s.state, "line");
  s.state.DecodedLines.Add("line");

  EXPECT_THROW(DumpMemoryAsDecimal(s.state, s.view, s.link), ValdError);

  EXPECT_TRUE(s.state.LogRecords.IsEmpty());
  EXPECT_TRUE(s.state.DecodedLines.IsEmpty());
}

class HeaderWord : public testing::TestWithParam<int32_t> {};

TEST_P(HeaderWord, ReadWordShowsTheSignedLittleEndianWord) {
  LinkSession s(HeaderAndNextBlock(GetParam()));
  s.view.addressEdits[0] = "not-this-host.invalid";  // "Read word" uses the host the link holds
  s.view.eeAddrEdit = "0";
  s.state.ReceivedByteCount = 7;

  ReadHeaderWord(s.state, s.view, s.link);

  EXPECT_EQ(s.simulator.Requests(), QList<QByteArray>{Request("EA4352")});
  EXPECT_EQ(s.view.memo1, QByteArray::number(GetParam()));
  EXPECT_EQ(s.view.label1, "519");
}

INSTANTIATE_TEST_SUITE_P(Words, HeaderWord, testing::Values(10000, -1, INT32_MIN));

TEST(ReadHeaderWord, SilentDeviceShowsZero) {
  LinkSession s(SilentDevice());

  ReadHeaderWord(s.state, s.view, s.link);

  EXPECT_EQ(s.view.memo1, "0");
}

TEST(ResetDeviceNetwork, ShowsTheReplyTextWithoutCountingBytes) {
  SimulatorConfig config;
  config.netresetReply = "reset done";
  LinkSession s(config);
  s.link.host = QStringLiteral("stale-host.invalid");  // the tool takes Edit_IP1

  ResetDeviceNetwork(s.view, s.link);

  EXPECT_EQ(s.simulator.Requests(), QList<QByteArray>{Request("netreset")});
  EXPECT_EQ(s.view.memo1, "reset done");
  EXPECT_EQ(s.state.ReceivedByteCount, 0);
}

TEST(ResetDeviceNetwork, SilentDeviceShowsEmptyText) {
  LinkSession s(SilentDevice());
  s.view.memo1 = "before";

  ResetDeviceNetwork(s.view, s.link);

  EXPECT_EQ(s.view.memo1, "");
}

}  // namespace
