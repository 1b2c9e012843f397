#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimeZone>

#include "ArchiveFixture.h"
#include "support/ProgramRun.h"
#include "support/SimulatorFixture.h"
#include "tools/sim/DeviceImage.h"

// vald_read against an archive that holds the device's earlier readout: what is new alone is asked for,
// and the file and the archive come out as a full readout of the same memory makes them.

namespace {

// An AGATE ring that has not turned, holding its first `records` records.
SimulatorConfig AgateHolding(int records) {
  SimulatorConfig config;
  config.wrapped = false;
  config.recordCount = records;
  return config;
}

struct DeviceRun {
  QJsonObject json;
  QByteArray file;
  QString err;
};

DeviceRun ReadInto(const SimulatorConfig& device, const QString& archive, const TempFolder& out,
                   const QStringList& more = {}) {
  const RunningSimulator simulator(device);
  const ProcessResult run =
      RunProgram(QStringLiteral(VALD_READ_PATH),
                 QStringList{QStringLiteral("--port"), QString::number(simulator.Port()),
                             QStringLiteral("--out"), out.Path(), QStringLiteral("--time"),
                             QStringLiteral("2024-04-01 12:00"), QStringLiteral("--archive"), archive,
                             QStringLiteral("--json"), QStringLiteral("127.0.0.1")} +
                     more);
  EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
  return {QJsonDocument::fromJson(run.out.toUtf8()).object(),
          out.Read(QStringLiteral("24.04.01 12.00 VALD_AGATE.csv")), run.err};
}

QList<QVariantList> ArchivedRecords(const QString& archive) {
  ArchiveLocation location;
  location.engine = ArchiveLocation::Engine::SQLite;
  location.path = archive;
  return QueryArchive(location,
                      QStringLiteral("SELECT time, second_pass, variant, utc_offset, line_form, line, "
                                     "v1, v2 FROM records ORDER BY 1, 2, 3"));
}

TEST(ValdReadNewOnly, ARingThatGainedRecordsGivesWhatAFullReadoutGives) {
  TempFolder folder;
  const QString incremental = folder.File(QStringLiteral("incremental.sqlite"));
  const QString full = folder.File(QStringLiteral("full.sqlite"));
  TempFolder first;
  const DeviceRun earlier = ReadInto(AgateHolding(300), incremental, first);
  EXPECT_EQ(earlier.json.value(QStringLiteral("readout")).toString(), QStringLiteral("full"));
  ASSERT_TRUE(QFile::copy(incremental, full));

  TempFolder newOnlyOut;
  TempFolder fullOut;
  const DeviceRun newOnly = ReadInto(AgateHolding(305), incremental, newOnlyOut);
  const DeviceRun everyBlock = ReadInto(AgateHolding(305), full, fullOut, {QStringLiteral("--full")});

  EXPECT_EQ(newOnly.json.value(QStringLiteral("readout")).toString(), QStringLiteral("incremental"));
  EXPECT_LE(newOnly.json.value(QStringLiteral("blockRequests")).toInt(), 2);
  EXPECT_EQ(everyBlock.json.value(QStringLiteral("fullReason")).toString(), QStringLiteral("--full"));
  EXPECT_EQ(everyBlock.json.value(QStringLiteral("blockRequests")).toInt(), 32);
  EXPECT_EQ(newOnly.file, everyBlock.file);
  EXPECT_EQ(newOnly.json.value(QStringLiteral("newRecordsArchived")).toInt(), 5);
  EXPECT_EQ(ArchivedRecords(incremental), ArchivedRecords(full));
}

// An AGATE record written at the local time `at`, its values telling the nth record from every other.
QByteArray RecordAt(const QDateTime& at, int n) {
  QByteArray record;
  record.append('w').append(char(at.date().year() - 2000)).append(char(at.date().month()));
  record.append(char(at.date().day())).append(char(at.time().hour())).append(char(at.time().minute()));
  return record.append(char(n % 200)).append(char(n / 200)).append(char(n % 7)).append(char(n / 7 % 200));
}

QByteArray Marker(char kind) {
  return QByteArray(1, kind) + QByteArray(9, '\0');
}

// The wall clock readings of a device logging every ten minutes from `from` (a reading, in UTC only to
// keep it apart from this machine's zone), through the autumn change of 2023 at Europe/Budapest when
// `from` lies before it: 02:00 to 02:50 twice.
QList<QDateTime> Clock(const QDateTime& from, int count) {
  QList<QDateTime> times;
  const QDateTime change(QDate(2023, 10, 29), QTime(3, 0), QTimeZone::utc());
  bool repeated = false;
  for (QDateTime at = from; times.size() < count; at = at.addSecs(600)) {
    times << at;
    if (!repeated && at.addSecs(600) == change) {
      at = at.addSecs(-3600);
      repeated = true;
    }
  }
  return times;
}

// A turned ring: the records of `times` from `newestFrom` on, the "x" write point, the ones before it
// (from the second on), the "e" end; `written` more records at the write point, taking the places of
// the oldest; `changed`: the record before the newest with other values.
QByteArray TurnedRing(const QList<QDateTime>& times, int newestFrom, int written, bool changed) {
  QByteArray log;
  for (int n = newestFrom; n < times.size(); ++n)
    log += RecordAt(times[n], changed && n == times.size() - 2 ? n + 7000 : n);
  const QDateTime& last = times.back();
  for (int k = 0; k < written; ++k) log += RecordAt(last.addSecs(600 * (k + 1)), 5000 + k);
  log += Marker('x');
  for (int n = written + 1; n < newestFrom; ++n) log += RecordAt(times[n], n);
  return log + Marker('e');
}

struct RingGrowth {
  const char* name;
  QList<QDateTime> times;
  int newestFrom;
  int written;
  bool changed = false;  // the device gave the record before its newest other values meanwhile
};

void PrintTo(const RingGrowth& growth, std::ostream* os) {
  *os << growth.name;
}

class NewOnlyMerge : public testing::TestWithParam<RingGrowth> {};

TEST_P(NewOnlyMerge, ArchivesWhatAFullReadoutArchives) {
  const RingGrowth& growth = GetParam();
  const auto device = [&](int written) {
    SimulatorConfig config;
    config.image =
        DeviceImage::ForLog(
            2, 1, 0, TurnedRing(growth.times, growth.newestFrom, written, written > 0 && growth.changed))
            .ToBytes();
    return config;
  };
  const QStringList zone{QStringLiteral("--time-zone"), QStringLiteral("Europe/Budapest")};
  TempFolder folder;
  const QString incremental = folder.File(QStringLiteral("incremental.sqlite"));
  const QString full = folder.File(QStringLiteral("full.sqlite"));
  TempFolder out;
  ReadInto(device(0), incremental, out, zone);
  ASSERT_TRUE(QFile::copy(incremental, full));

  TempFolder newOnlyOut;
  TempFolder fullOut;
  const DeviceRun newOnly = ReadInto(device(growth.written), incremental, newOnlyOut, zone);
  const DeviceRun everyBlock =
      ReadInto(device(growth.written), full, fullOut, zone + QStringList{QStringLiteral("--full")});

  // A record the device changed beside its new ones is not how it writes: the whole log is read.
  EXPECT_EQ(newOnly.json.value(QStringLiteral("readout")).toString(),
            growth.changed ? QStringLiteral("full") : QStringLiteral("incremental"));
  EXPECT_EQ(newOnly.file, everyBlock.file);
  EXPECT_EQ(newOnly.json.value(QStringLiteral("newRecordsArchived")),
            everyBlock.json.value(QStringLiteral("newRecordsArchived")));
  EXPECT_EQ(ArchivedRecords(incremental), ArchivedRecords(full));
}

INSTANTIATE_TEST_SUITE_P(
    Rings, NewOnlyMerge,
    testing::Values(
        RingGrowth{"NothingNew", Clock(QDateTime(QDate(2024, 3, 1), QTime(0, 0), QTimeZone::utc()), 200), 120,
                   0},
        RingGrowth{"TurnedRingGainsRecords",
                   Clock(QDateTime(QDate(2024, 3, 1), QTime(0, 0), QTimeZone::utc()), 200), 120, 60},
        RingGrowth{"ARecordBeforeTheNewestChanged",
                   Clock(QDateTime(QDate(2024, 3, 1), QTime(0, 0), QTimeZone::utc()), 200), 120, 2, true},
        // The oldest records lie in the hour the clock goes through twice: once the ring has taken the
        // places of its first pass, what is left of the second pass is read as the first.
        RingGrowth{"RepeatedHourLosesItsFirstPass",
                   Clock(QDateTime(QDate(2023, 10, 29), QTime(2, 0), QTimeZone::utc()), 200), 120, 6}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ValdReadNewOnly, ReReadsOfAnUnchangedDeviceKeepNoNewImage) {
  TempFolder folder;
  const QString archive = folder.File(QStringLiteral("archive.sqlite"));
  TempFolder out;
  ReadInto(AgateHolding(300), archive, out);
  const qint64 before = QFileInfo(archive).size();
  for (int k = 0; k < 20; ++k) ReadInto(AgateHolding(300), archive, out, {QStringLiteral("--no-files")});
  EXPECT_LE(QFileInfo(archive).size() - before, 64 * 1024);
}

// A readout lost from the archive leaves the images patched onto it without a base: the device's next
// readout, with --full or without, reads every block and keeps a whole image again, saying why; check
// names the broken image and repair-images mends it.
TEST(ValdReadNewOnly, AnArchivedImageWhoseChainBrokeIsReadWholeAgainAndRepaired) {
  const struct {
    const char* label;
    QStringList options;
    QString fullReason;
  } cases[] = {
      {"NewOnly",
       {},
       QStringLiteral(
           "the archive cannot rebuild the earlier image: the image of readout 3 goes back to readout "
           "2, which is missing")},
      {"Full", {QStringLiteral("--full")}, QStringLiteral("--full")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    TempFolder folder;
    TempFolder out;
    const QString archive = folder.File(QStringLiteral("archive.sqlite"));
    const auto valdArchive = [&](const QString& command) {
      return RunProgram(QStringLiteral(VALD_ARCHIVE_PATH), {QStringLiteral("--archive"), archive, command});
    };
    for (const int records : {300, 301, 302}) ReadInto(AgateHolding(records), archive, out);
    ArchiveLocation location;
    location.engine = ArchiveLocation::Engine::SQLite;
    location.path = archive;
    QueryArchive(location, QStringLiteral("DELETE FROM readouts WHERE id = 2"));

    const DeviceRun next = ReadInto(AgateHolding(303), archive, out, c.options);
    EXPECT_EQ(next.json.value(QStringLiteral("readout")).toString(), QStringLiteral("full"));
    EXPECT_EQ(next.json.value(QStringLiteral("fullReason")).toString(), c.fullReason);
    EXPECT_EQ(next.json.value(QStringLiteral("newRecordsArchived")).toInt(-1), 1);
    EXPECT_TRUE(next.err.contains(QStringLiteral(
        "warning: the image of readout 3 goes back to readout 2, which is missing: this readout's "
        "image is kept whole; vald_archive check names every broken image, vald_archive "
        "repair-images mends them\n")))
        << next.err.toStdString();
    EXPECT_TRUE(
        QueryArchive(location, QStringLiteral("SELECT base_readout_id FROM readouts WHERE id = 4"))[0][0]
            .isNull());

    const ProcessResult broken = valdArchive(QStringLiteral("check"));
    EXPECT_EQ(broken.exitCode, 1);
    const QString mac =
        QueryArchive(location, QStringLiteral("SELECT device_key FROM devices"))[0][0].toString();
    EXPECT_TRUE(broken.out.contains(
        QStringLiteral("\n  %1: the image of readout 3 goes back to readout 2, which is missing\n").arg(mac)))
        << broken.out.toStdString();
    EXPECT_TRUE(broken.out.endsWith(QStringLiteral(
        "vald_archive repair-images mends the broken images, keeping what their patches allow\n")));

    const ProcessResult repair = valdArchive(QStringLiteral("repair-images"));
    EXPECT_EQ(repair.exitCode, 0) << repair.err.toStdString();
    EXPECT_EQ(repair.out,
              QStringLiteral("%1: the image of readout 3 goes back to readout 2, which is missing; its "
                             "patch holds only the blocks that changed: it keeps no image now, the 1 "
                             "record archived from it stays\n")
                  .arg(mac));
    EXPECT_EQ(valdArchive(QStringLiteral("check")).exitCode, 0);
    EXPECT_EQ(ReadInto(AgateHolding(304), archive, out).json.value(QStringLiteral("readout")).toString(),
              QStringLiteral("incremental"));
  }
}

}  // namespace
