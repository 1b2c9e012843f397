#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include "core/ValdError.h"
#include "core/Win1250.h"
#include "link/LinkTestSupport.h"
#include "operations/ServiceTools.h"
#include "support/FileSizeLimit.h"
#include "support/TempFolder.h"

namespace {

const QByteArray Header = "date;mac addr;serial;reg number;device;version;config;\r\n";
const QByteArray Identity = "00:1A:2B:3C:4D:5E;SN0001;R-17;AGATE;v2.3;c1";

const QByteArray& AddedVerdict() {
  static const QByteArray verdict = ToWin1250(QStringLiteral("  -hozzáadva"));
  return verdict;
}

const QByteArray& ListedVerdict() {
  static const QByteArray verdict = ToWin1250(QStringLiteral("  -már van ilyen mac address"));
  return verdict;
}

// A device answering the identity request with `reply`, a program folder, and a clock at `today`.
struct Registration {
  explicit Registration(const QByteArray& reply, QDate today = QDate(2024, 3, 5))
      : session(ConfigFor(reply)) {
    env.programFolder = folder.Path();
    env.now = [today] { return QDateTime(today, QTime(9, 30)); };
  }
  static SimulatorConfig ConfigFor(const QByteArray& reply) {
    SimulatorConfig config;
    config.identityReply = reply;
    config.silent = reply.isNull();
    return config;
  }
  void Run() { RegisterDevice(session.view, session.link, env); }
  QByteArray List() const { return folder.Read("sales.csv"); }

  LinkSession session;
  TempFolder folder;
  Environment env;
};

TEST(RegisterDevice, FirstEntryOfAnEmptyListAddsTheHeaderLine) {
  Registration r(Identity);
  r.folder.Write("sales.csv", "");

  r.Run();

  EXPECT_EQ(r.List(), Header + "24.03.05;" + Identity + "\r\n");
  EXPECT_EQ(r.session.view.memo1, "24.03.05;" + Identity + AddedVerdict());
  EXPECT_EQ(r.session.simulator.Requests(), QList<QByteArray>{QByteArray("E47305826\0", 10)});
}

TEST(RegisterDevice, SameMacOnAnotherDayIsAlreadyListed) {
  Registration r(Identity, QDate(2024, 4, 1));
  const QByteArray list = Header + "24.03.05;" + Identity + "\r\n";
  r.folder.Write("sales.csv", list);

  r.Run();

  EXPECT_EQ(r.List(), list);
  EXPECT_EQ(r.session.view.memo1, "24.04.01;" + Identity + ListedVerdict());
}

struct KeyCase {
  const char* name;
  QByteArray listedReply;
  QByteArray newReply;
  bool duplicate;
};

class RegistrationKey : public testing::TestWithParam<KeyCase> {};

TEST_P(RegistrationKey, ComparesTheSeventeenMacCharactersExactly) {
  const KeyCase& c = GetParam();
  Registration r(c.newReply);
  const QByteArray list = Header + "24.01.02;" + c.listedReply + "\r\n";
  r.folder.Write("sales.csv", list);

  r.Run();

  if (c.duplicate) {
    EXPECT_EQ(r.List(), list);
    EXPECT_TRUE(r.session.view.memo1.endsWith(ListedVerdict()));
  } else {
    EXPECT_EQ(r.List(), list + "24.03.05;" + c.newReply + "\r\n");
    EXPECT_TRUE(r.session.view.memo1.endsWith(AddedVerdict()));
  }
}

INSTANTIATE_TEST_SUITE_P(Keys, RegistrationKey,
                         testing::Values(KeyCase{"DifferentAfterTheMac", "00:1A:2B:3C:4D:5E;SN0001",
                                                 "00:1A:2B:3C:4D:5E;SN9999", true},
                                         KeyCase{"MacDiffersInCaseOnly", "00:1a:2b:3c:4d:5e;SN0001",
                                                 "00:1A:2B:3C:4D:5E;SN0001", false},
                                         KeyCase{"DifferentMac", "00:1A:2B:3C:4D:5F;SN0001",
                                                 "00:1A:2B:3C:4D:5E;SN0001", false},
                                         KeyCase{"ShortReplyMatchesShortKey", "AB", "AB", true},
                                         KeyCase{"ShortReplyIsNotAPrefixMatch", "ABC", "AB", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RegisterDevice, ShortListGetsTheHeaderAfterItsText) {
  Registration r(Identity);
  r.folder.Write("sales.csv", "notes\r\n");

  r.Run();

  EXPECT_EQ(r.List(), "notes\r\n" + Header + "24.03.05;" + Identity + "\r\n");
}

TEST(RegisterDevice, NoReplyLeavesTheFileAsItWas) {
  Registration r(QByteArray{});
  r.folder.Write("sales.csv", "");

  r.Run();

  EXPECT_EQ(r.List(), "");
  EXPECT_EQ(r.session.view.memo1, "  -nincs adat");
}

TEST(RegisterDevice, MissingListIsAnErrorAndNothingIsSent) {
  Registration r(Identity);

  try {
    r.Run();
    FAIL() << "no error";
  } catch (const ValdError& error) {
    EXPECT_TRUE(error.Message().contains("sales.csv")) << error.Message().toStdString();
  }
  EXPECT_TRUE(r.session.simulator.Requests().isEmpty());
  EXPECT_FALSE(r.folder.Exists("sales.csv"));
}

TEST(RegisterDevice, FailedWriteKeepsTheOldListAndTheReplyInMemo1) {
  Registration r(Identity);
  const QByteArray list = Header + "24.01.02;00:00:00:00:00:01;SN0002\r\n";
  r.folder.Write("sales.csv", list);

  {
    FileSizeLimit limit(list.size() + 10);
    EXPECT_THROW(r.Run(), ValdError);
  }

  EXPECT_EQ(r.List(), list);
  EXPECT_EQ(r.session.view.memo1, Identity);
}

class ControlCharacters : public testing::TestWithParam<QByteArray> {};

TEST_P(ControlCharacters, InTheReplyAreRefusedAndTheListStays) {
  Registration r("00:1A:2B:3C:4D:5E;SN1" + GetParam() + "99.01.01;forged");
  r.folder.Write("sales.csv", "");

  EXPECT_THROW(r.Run(), ValdError);

  EXPECT_EQ(r.List(), "");
}

INSTANTIATE_TEST_SUITE_P(Characters, ControlCharacters,
                         testing::Values("\r\n", "\n", "\r", "\t", "\x01", "\x1f", "\x7f"));

// Cells a spreadsheet would take for formulas are written as text; every other byte as it came.
TEST(RegisterDevice, FormulaCellsOfTheReplyAreWrittenAsText) {
  Registration r("00:1A:2B:3C:4D:5E;=HYPERLINK(\"x\");+cmd|'/c calc'!A0;-2;@SUM(1);v=2;");
  r.folder.Write("sales.csv", "");

  r.Run();

  EXPECT_EQ(
      r.List(),
      Header + "24.03.05;00:1A:2B:3C:4D:5E;'=HYPERLINK(\"x\");'+cmd|'/c calc'!A0;'-2;'@SUM(1);v=2;\r\n");
}

}  // namespace
