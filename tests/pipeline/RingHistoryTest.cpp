#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <random>

#include "archive/ArchiveFixture.h"
#include "decode/DeviceCatalogue.h"
#include "pipeline/ReadoutPipeline.h"
#include "support/SimulatorFixture.h"
#include "tools/sim/DeviceImage.h"
#include "tools/sim/DeviceRing.h"
#include "tools/sim/LogGenerator.h"

// Seeded random histories of a device's ring as the device writes it (DeviceRing): records logged a few
// or a whole ring at a time, rings of every length on both chips, every record length, cleared logs, and
// logs the simulator generated. The device is read now and then into two archives: only what is new into
// one, every block into the other. Each incremental readout must give the memory, the file and, at the
// end, the archive that whole readouts of the same memory give. VALD_RING_HISTORIES and
// VALD_RING_FIRST_SEED set how many histories run from which seed (the soak script runs many more).

namespace {

constexpr int DefaultHistories = 2000;

int EnvironmentNumber(const char* name, int fallback) {
  bool ok = false;
  const int value = qEnvironmentVariableIntValue(name, &ok);
  return ok ? value : fallback;
}

int Below(std::mt19937& random, int bound) {
  return bound <= 0 ? 0 : int(random() % uint32_t(bound));
}

// A device logging into its ring: its type, chip, ring, and the clock its records are stamped with.
struct LoggingDevice {
  const DeviceType* type = nullptr;
  int chipCode = 1;
  std::optional<DeviceRing> ring;
  QDateTime clock;
  int intervalMinutes = 10;

  void Log(std::mt19937& random, int count) {
    for (int k = 0; k < count; ++k) {
      clock = clock.addSecs(qint64(intervalMinutes) * 60);
      QByteArray record(1, 'w');
      for (const int part : {clock.date().year() - 2000, clock.date().month(), clock.date().day(),
                             clock.time().hour(), clock.time().minute()})
        record.append(char(part));
      while (record.size() < type->recordLength) record.append(char(random()));
      ring->Write(record);
    }
  }
};

// The ring's end: mostly a short ring, so that it turns often; any length; the last whole slot.
int RingEnd(std::mt19937& random, int slotCount) {
  const int kind = Below(random, 10);
  if (kind < 5) return 2 + Below(random, std::min(slotCount - 2, 60));
  if (kind < 8) return 2 + Below(random, slotCount - 2);
  return slotCount - 1;
}

LoggingDevice NewDevice(std::mt19937& random, uint32_t seed) {
  const std::span<const DeviceType> types = DeviceTypeTable();
  LoggingDevice device;
  device.type = &types[size_t(Below(random, int(types.size())))];
  device.chipCode = 1 + Below(random, 2);
  device.intervalMinutes = 1 + Below(random, 90);
  const int logSize = ChipBlockCount(device.chipCode).blockCount * DeviceImage::BlockSize;
  const int ringEnd = RingEnd(random, logSize / device.type->recordLength);
  if (Below(random, 4) == 0) {
    // A log as the simulator generates it, logged on from there.
    SimulatorConfig generated;
    generated.deviceCode = device.type->code;
    generated.chipCode = device.chipCode;
    generated.seed = seed;
    generated.wrapped = Below(random, 2) == 0;
    generated.recordCount = 1 + Below(random, ringEnd - 1);
    generated.intervalMinutes = device.intervalMinutes;
    device.ring = DeviceRing::Continuing(GenerateLog(generated, logSize), device.type->recordLength, ringEnd);
    device.clock = generated.start.addSecs(qint64(generated.recordCount) * generated.intervalMinutes * 60);
    return device;
  }
  device.ring.emplace(logSize, device.type->recordLength, ringEnd);
  device.clock = QDateTime(QDate(2024, 1, 1), QTime(0, 0), QTimeZone::utc());
  device.Log(random, Below(random, 2 * ringEnd));
  return device;
}

// What the device logs between two readouts: nothing, a few records, about a ring's worth, anything up
// to two rings; now and then its log is cleared first.
void LogBetweenReadouts(std::mt19937& random, LoggingDevice& device) {
  const int ringEnd = device.ring->RingEnd();
  const int kind = Below(random, 20);
  if (kind == 0) {
    device.ring->Clear();
    device.Log(random, Below(random, ringEnd));
  } else if (kind < 4) {
  } else if (kind < 10) {
    device.Log(random, 1 + Below(random, 10));
  } else if (kind < 14) {
    device.Log(random, std::max(0, ringEnd - 3 + Below(random, 7)));
  } else {
    device.Log(random, Below(random, 2 * ringEnd + 1));
  }
}

// One way of reading the device: its run, its archive and its files.
struct Reader {
  Reader(const QString& folder, bool newOnly, const QDateTime& now) : now_(now) {
    Environment env;
    env.programFolder = folder;
    env.archive = QStringLiteral("archive.sqlite");
    env.timeZone = QStringLiteral("UTC");
    env.now = [this] { return now_; };
    run = OpenReadoutRun(env, ",");
    run.newOnly.enabled = newOnly;
    // Every readout of a history may be incremental, however long ago the last full one was.
    run.newOnly.fullEveryHours = 1000000;
  }

  ReadoutResult Read(uint16_t port, const QDateTime& now) {
    now_ = now;
    SharedState state;
    DeviceLink link;
    link.port = port;
    ReadoutResult result;
    ReadLog(state, link, IdentityAsksFor(run), QStringLiteral("127.0.0.1"), result, {},
            EarlierImagesFor(run));
    outcome = KeepReadout(result, run, {run.env.programFolder, QStringLiteral("127.0.0.1")});
    return result;
  }

  QByteArray File() const {
    QFile file(outcome.measurementFile);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

  QDateTime now_;
  ReadoutRun run;
  ReadoutOutcome outcome;
};

// How many records one of the archives in the two folders lacks, or holds otherwise, of the other's.
int RecordsApart(const QString& folder, const QString& otherFolder) {
  QString columns = QStringLiteral("time, second_pass, variant, utc_offset, line_form, line");
  for (int channel = 1; channel <= ArchivedLine::ChannelCount; ++channel)
    columns += QStringLiteral(", v%1").arg(channel);
  int count = -1;
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("ring-compare"));
    db.setDatabaseName(folder + QStringLiteral("/archive.sqlite"));
    QSqlQuery query(db);
    if (db.open() &&
        query.exec(QStringLiteral("ATTACH DATABASE '%1/archive.sqlite' AS other").arg(otherFolder)) &&
        query.exec(
            QStringLiteral("SELECT (SELECT count(*) FROM (SELECT %1 FROM records EXCEPT SELECT %1 FROM "
                           "other.records)) + (SELECT count(*) FROM (SELECT %1 FROM other.records "
                           "EXCEPT SELECT %1 FROM records))")
                .arg(columns)) &&
        query.next())
      count = query.value(0).toInt();
  }
  QSqlDatabase::removeDatabase(QStringLiteral("ring-compare"));
  return count;
}

// Where `a` and `b` first differ: -1 when they are the same.
qsizetype FirstDifference(const QByteArray& a, const QByteArray& b) {
  if (a == b) return -1;
  qsizetype at = 0;
  while (at < a.size() && at < b.size() && a[at] == b[at]) ++at;
  return at;
}

struct HistoryTally {
  int readouts = 0;
  int incremental = 0;
  int turnedBetween = 0;  // incremental readouts across the ring's end
};

// The history of `seed`; false at its first difference, which it reports.
bool RunHistory(uint32_t seed, const QString& emptyArchive, HistoryTally& tally) {
  std::mt19937 random(seed);
  LoggingDevice device = NewDevice(random, seed);
  if (!device.ring) {
    ADD_FAILURE() << "seed " << seed << ": the simulator's log is no ring as the device writes it";
    return false;
  }
  SimulatorConfig config;
  config.identityReply = QStringLiteral("7E:00:00:00:00:01;SN%1").arg(seed).toLatin1();
  TempFolder newOnlyFolder;
  TempFolder everyBlockFolder;
  for (const TempFolder* folder : {&newOnlyFolder, &everyBlockFolder})
    QFile::copy(emptyArchive, folder->File(QStringLiteral("archive.sqlite")));
  const QDateTime start(QDate(2025, 1, 1), QTime(0, 0));
  Reader newOnly(newOnlyFolder.Path(), true, start);
  Reader everyBlock(everyBlockFolder.Path(), false, start);
  const int readouts = 2 + Below(random, 4);
  for (int n = 0; n < readouts; ++n) {
    const QByteArray before = device.ring->Log();
    if (n > 0) LogBetweenReadouts(random, device);
    config.image = DeviceImage::ForLog(device.type->code, device.chipCode, 0, device.ring->Log()).ToBytes();
    const RunningSimulator simulator(config);
    const QDateTime now = start.addSecs(qint64(n) * 60);
    const ReadoutResult read = newOnly.Read(simulator.Port(), now);
    const ReadoutResult whole = everyBlock.Read(simulator.Port(), now);
    const auto where = [&] {
      return testing::Message() << "seed " << seed << ", readout " << n << " of a " << device.type->name
                                << " on chip " << device.chipCode << ", ring end " << device.ring->RingEnd()
                                << (read.incremental ? ", incremental" : ", full: ")
                                << read.fullReason.toStdString();
    };
    ++tally.readouts;
    if (read.incremental) {
      ++tally.incremental;
      if (RingShapeOf(before, device.type->recordLength)->writePoint >
          RingShapeOf(device.ring->Log(), device.type->recordLength)->writePoint)
        ++tally.turnedBetween;
    }
    if (read.rawImage != whole.rawImage || newOnly.File() != everyBlock.File() ||
        !newOnly.outcome.archiveError.isEmpty() || !everyBlock.outcome.archiveError.isEmpty()) {
      ADD_FAILURE() << where() << ": the images differ from byte "
                    << FirstDifference(read.rawImage, whole.rawImage) << ", the files from byte "
                    << FirstDifference(newOnly.File(), everyBlock.File())
                    << "; archive errors: " << newOnly.outcome.archiveError.toStdString() << " / "
                    << everyBlock.outcome.archiveError.toStdString();
      return false;
    }
  }
  newOnly.run.archive.reset();
  everyBlock.run.archive.reset();
  if (RecordsApart(newOnlyFolder.Path(), everyBlockFolder.Path()) != 0) {
    ADD_FAILURE() << "seed " << seed << ": the archives differ";
    return false;
  }
  return true;
}

TEST(RingHistories, IncrementalReadoutsGiveWhatWholeReadoutsOfTheSameMemoryGive) {
  const int histories = EnvironmentNumber("VALD_RING_HISTORIES", DefaultHistories);
  const int firstSeed = EnvironmentNumber("VALD_RING_FIRST_SEED", 0);
  // The histories' archives lie in memory where the machine has a memory file system: the disk's waits
  // would only slow their thousands of merges down.
  if (QFileInfo(QStringLiteral("/dev/shm")).isWritable()) qputenv("TMPDIR", "/dev/shm");
  // Every history's archives start as copies of one new archive.
  TempFolder folder;
  const QString emptyArchive = folder.File(QStringLiteral("archive.sqlite"));
  ArchiveStore(ParseArchiveLocation(emptyArchive, {}));
  HistoryTally tally;
  for (int seed = firstSeed; seed < firstSeed + histories; ++seed) {
    if (!RunHistory(uint32_t(seed), emptyArchive, tally)) break;
  }
  // The histories reach what they are for: most re-reads read only what is new, many across the end.
  EXPECT_GT(tally.incremental, (tally.readouts - histories) / 2);
  EXPECT_GT(tally.turnedBetween, tally.incremental / 10);
}

}  // namespace
