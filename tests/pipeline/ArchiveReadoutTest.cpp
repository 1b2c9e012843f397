#include <QFileInfo>

#include "archive/ArchiveFixture.h"
#include "archive/SiteTime.h"
#include "core/ValdError.h"
#include "link/Exchanges.h"
#include "operations/Readout.h"
#include "support/ShownLog.h"
#include "support/SimulatorFixture.h"
#include "support/UnwritableFolder.h"

// A readout with an archive set: the identity asked for after the header; the log and its raw image
// merged; the image decodes again to the same lines.

namespace {

SimulatorConfig WrappedAgate() {
  SimulatorConfig config;
  config.deviceCode = 2;
  config.chipCode = 1;
  config.recordCount = 400;
  config.seed = 7;
  return config;
}

struct ArchivedReadout {
  ReadoutReport result;
  SharedState state;
  QList<QByteArray> requests;
};

ArchivedReadout ReadInto(const QString& archive, const QString& folder, const SimulatorConfig& config) {
  RunningSimulator device(config);
  DeviceLink link;
  link.port = device.Port();
  Environment env;
  env.programFolder = folder;
  env.systemDecimalSeparator = ',';
  env.now = [] { return QDateTime(QDate(2024, 4, 1), QTime(12, 0)); };
  env.archive = archive;
  ArchivedReadout readout;
  readout.state.DecimalSeparatorText = ",";
  WindowModel view;
  readout.result = ReadDeviceLog(readout.state, view, link, env, QStringLiteral("127.0.0.1"));
  readout.requests = device.Requests();
  return readout;
}

TEST_P(ArchiveTest, ReadoutMergesUnderTheMacAndItsImageDecodesAgain) {
  const ArchivedReadout readout = ReadInto(location.Describe(), folder.Path(), WrappedAgate());
  ASSERT_TRUE(readout.result.archiveError.isEmpty()) << readout.result.archiveError.toStdString();
  EXPECT_EQ(readout.requests.size(), 34);
  EXPECT_EQ(readout.requests[1], IdentityRequest + '\0');
  EXPECT_EQ(readout.result.archivedLines, 400);

  ArchiveStore store(location);
  const QList<ArchivedDevice> devices = store.Devices();
  ASSERT_EQ(devices.size(), 1);
  EXPECT_EQ(devices[0].key, QStringLiteral("00:1A:2B:3C:4D:5E"));
  EXPECT_EQ(devices[0].lastAddress, QStringLiteral("127.0.0.1"));
  EXPECT_EQ(store.Lines(devices[0].id, "", ""), ShownLines(readout.state, ',').Lines());

  QList<RedecodeResult> unchanged = store.Redecode();
  ASSERT_EQ(unchanged.size(), 1);
  EXPECT_EQ(unchanged[0].readouts, 1);
  EXPECT_EQ(unchanged[0].added + unchanged[0].removed, 0);
  QueryArchive(location,
               QStringLiteral("DELETE FROM records WHERE time < %1").arg(LocalSeconds(2024, 3, 1, 1, 0)));
  EXPECT_EQ(store.Redecode()[0].added, 6);
  EXPECT_EQ(store.Lines(devices[0].id, "", ""), ShownLines(readout.state, ',').Lines());
}

// One device stays one device in the archive: a long identity reply still names its MAC address, and a
// readout whose identity does not come is kept under the MAC address last seen at that address with that
// code, asked for once when a device is known there and three times while none is.
TEST_P(ArchiveTest, OneDeviceStaysOneDeviceWhateverItsIdentityReply) {
  SimulatorConfig longReply = WrappedAgate();
  longReply.identityReply = "00:1A:2B:3C:4D:5E;" + QByteArray(600, 'x');
  EXPECT_EQ(ReadInto(location.Describe(), folder.Path(), longReply).result.mac,
            QStringLiteral("00:1A:2B:3C:4D:5E"));

  SimulatorConfig silent = WrappedAgate();
  const ReplyFault none{ReplyFaultKind::Silent};
  silent.scriptedFaults.insert(IdentityRequest, {none, none, none});
  const ArchivedReadout again = ReadInto(location.Describe(), folder.Path(), silent);
  EXPECT_EQ(again.requests.count(IdentityRequest + '\0'), 1);
  EXPECT_EQ(again.result.mac, QStringLiteral("00:1A:2B:3C:4D:5E"));
  EXPECT_EQ(again.result.archivedLines, 0);
  ASSERT_EQ(ArchiveStore(location).Devices().size(), 1);

  TempFolder otherArchive;
  const ArchivedReadout unknown =
      ReadInto(otherArchive.File(QStringLiteral("other.sqlite")), folder.Path(), silent);
  EXPECT_EQ(unknown.requests.count(IdentityRequest + '\0'), 3);
  EXPECT_TRUE(unknown.result.mac.isEmpty());
  // A device that gave none is known at its address and code from then on: asked once.
  const ArchivedReadout remembered =
      ReadInto(otherArchive.File(QStringLiteral("other.sqlite")), folder.Path(), silent);
  EXPECT_EQ(remembered.requests.count(IdentityRequest + '\0'), 1);
}

// A measurement file that cannot be written keeps nothing out of the archive: each is reported on its own.
TEST_P(ArchiveTest, AFileThatCannotBeWrittenStillArchivesTheLog) {
  const UnwritableFolder programFolder;
  RunningSimulator device(WrappedAgate());
  DeviceLink link;
  link.port = device.Port();
  Environment env;
  env.programFolder = programFolder.Path();
  env.systemDecimalSeparator = ',';
  env.now = [] { return QDateTime(QDate(2024, 4, 1), QTime(12, 0)); };
  env.archive = location.Describe();
  SharedState state;
  WindowModel view;
  ReadoutReport report;
  EXPECT_THROW(ReadDeviceLog(state, view, link, env, QStringLiteral("127.0.0.1"), report, report), ValdError);
  EXPECT_TRUE(report.measurementFile.isEmpty());
  EXPECT_FALSE(report.fileError.isEmpty());
  EXPECT_EQ(report.archivedLines, 400) << report.archiveError.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Engines, ArchiveTest, testing::Values(Engine::SQLite, Engine::PostgreSQL),
                         EngineName);

struct UnusableArchive {
  const char* label;
  QByteArray content;  // empty: an SQLite database with a table of another program
};

class UnusableArchiveFile : public testing::TestWithParam<UnusableArchive> {};

TEST_P(UnusableArchiveFile, IsLeftUntouchedAndTheReadoutFileWritten) {
  TempFolder folder;
  const QString path = folder.File(QStringLiteral("archive.sqlite"));
  if (GetParam().content.isEmpty()) {
    ArchiveLocation foreign;
    foreign.engine = ArchiveLocation::Engine::SQLite;
    foreign.path = path;
    QueryArchive(foreign, QStringLiteral("CREATE TABLE invoices (number INTEGER)"));
  } else {
    folder.Write(QStringLiteral("archive.sqlite"), GetParam().content);
  }
  const QByteArray before = folder.Read(QStringLiteral("archive.sqlite"));

  const ArchivedReadout readout = ReadInto(QStringLiteral("archive.sqlite"), folder.Path(), WrappedAgate());
  EXPECT_TRUE(QFileInfo::exists(readout.result.measurementFile));
  EXPECT_FALSE(readout.result.archivedLines);
  EXPECT_TRUE(readout.result.archiveError.startsWith(QStringLiteral("Archive %1: ").arg(path)))
      << readout.result.archiveError.toStdString();
  EXPECT_EQ(folder.Read(QStringLiteral("archive.sqlite")), before);
}

INSTANTIATE_TEST_SUITE_P(Files, UnusableArchiveFile,
                         testing::Values(UnusableArchive{"Corrupt", QByteArray(8192, char(0x5A))},
                                         UnusableArchive{"Foreign", QByteArray()}),
                         [](const auto& info) { return std::string(info.param.label); });

}  // namespace
