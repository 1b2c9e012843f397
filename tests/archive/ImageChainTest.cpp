#include <QRandomGenerator>

#include "ArchiveFixture.h"

// The device's raw images as the archive keeps them: a whole one now and then, patches onto the one
// before in between, each rebuilt as the device's memory was; a chain that lost a readout is named,
// no base for the next image, and mended as far as its patches allow.

namespace {

const QString Mac = QStringLiteral("00:1A:2B:3C:4D:5E");
constexpr qsizetype BlockBytes = 512;

// An AGATE's memory on a 25LC254: the log header (device code 2, chip code 1), then 32 log blocks.
QByteArray AgateMemory(QRandomGenerator& random) {
  QByteArray memory(33 * BlockBytes, '\0');
  for (char& byte : memory) byte = char(random.bounded(256));
  memory[0] = 2;
  memory[1] = 1;
  return memory;
}

// The memory with `blocks` of its log blocks logged anew.
void LogInto(QByteArray& memory, QRandomGenerator& random, int blocks) {
  for (int k = 0; k < blocks; ++k) {
    const qsizetype block = 1 + random.bounded(32);
    for (qsizetype i = 0; i < BlockBytes; ++i) memory[block * BlockBytes + i] = char(random.bounded(256));
  }
}

// The readout of the memory, bringing the nth record of AgateLines.
ArchiveReadout ReadoutOf(const QByteArray& memory, int record) {
  ArchiveReadout readout = AgateReadout(AgateLines(record, 1), Mac);
  readout.image = memory;
  return readout;
}

// Each readout's base, in the order of the readouts; -1 for a whole image.
QList<qint64> Bases(const ArchiveLocation& location) {
  QList<qint64> bases;
  for (const QVariantList& row :
       QueryArchive(location, QStringLiteral("SELECT base_readout_id FROM readouts ORDER BY id")))
    bases << (row[0].isNull() ? -1 : row[0].toLongLong());
  return bases;
}

TEST_P(ArchiveTest, AWholeImageIsKeptAgainAfter32PatchesAndEveryImageIsRebuilt) {
  QRandomGenerator random(4352);
  QByteArray memory = AgateMemory(random);
  ArchiveStore store(location);
  for (int readout = 1; readout <= 36; ++readout) {
    LogInto(memory, random, readout % 4);
    store.Merge(ReadoutOf(memory, readout));
    EXPECT_EQ(store.LastReadoutOf(Mac)->image, memory) << "readout " << readout;
  }
  // The 1st and the 34th whole, each other one patched onto the one before it: a chain of 32 patches.
  const QList<qint64> bases = Bases(location);
  ASSERT_EQ(bases.size(), 36);
  const QList<qint64> ids = [&] {
    QList<qint64> all;
    for (const QVariantList& row :
         QueryArchive(location, QStringLiteral("SELECT id FROM readouts ORDER BY id")))
      all << row[0].toLongLong();
    return all;
  }();
  for (int n = 0; n < 36; ++n)
    EXPECT_EQ(bases[n], n == 0 || n == 33 ? -1 : ids[n - 1]) << "readout " << n + 1;
  EXPECT_EQ(store.Check().problems, QStringList());
}

TEST_P(ArchiveTest, ABrokenChainIsNoBaseIsNamedByCheckAndIsMendedAsFarAsItsPatchesAllow) {
  QRandomGenerator random(27262);
  ArchiveStore store(location);
  QByteArray memory = AgateMemory(random);
  // Readouts 1 to 6: the 5th logged every block anew, so that its patch is a whole image; the 3rd brought
  // no new record.
  for (int readout = 1; readout <= 6; ++readout) {
    if (readout == 5) {
      memory = AgateMemory(random);
    } else {
      LogInto(memory, random, 2);
    }
    store.Merge(ReadoutOf(memory, readout == 3 ? 2 : readout));
  }
  ASSERT_EQ(Bases(location), QList<qint64>({-1, 1, 2, 3, 4, 5}));
  if (GetParam() == Engine::PostgreSQL)
    QueryArchive(location,
                 QStringLiteral("ALTER TABLE readouts DROP CONSTRAINT readouts_base_readout_id_fkey"));
  QueryArchive(location, QStringLiteral("DELETE FROM readouts WHERE id = 3"));

  const ArchiveCheck broken = store.Check();
  EXPECT_TRUE(broken.brokenImages);
  EXPECT_EQ(broken.problems,
            QStringList({
                Mac + QStringLiteral(": the image of readout 4 goes back to readout 3, which is missing"),
                Mac + QStringLiteral(": the image of readout 5 goes back to readout 3, which is missing"),
                Mac + QStringLiteral(": the image of readout 6 goes back to readout 3, which is missing"),
            }));
  EXPECT_EQ(store.LastReadoutOf(Mac)->imageProblem,
            QStringLiteral("the image of readout 6 goes back to readout 3, which is missing"));

  // The next readout is kept whole, and says why.
  LogInto(memory, random, 2);
  const MergeResult merged = store.Merge(ReadoutOf(memory, 7));
  EXPECT_EQ(merged.added, 1);
  EXPECT_EQ(merged.brokenImage,
            QStringLiteral("the image of readout 6 goes back to readout 3, which is missing"));
  EXPECT_EQ(Bases(location).last(), -1);
  EXPECT_EQ(store.LastReadoutOf(Mac)->image, memory);

  const QList<ImageRepair> repairs = store.RepairImages();
  ASSERT_EQ(repairs.size(), 2);
  EXPECT_EQ(repairs[0].readout, 4);
  EXPECT_EQ(repairs[0].change,
            QStringLiteral(
                "the image of readout 4 goes back to readout 3, which is missing; its patch holds only the "
                "blocks that changed: it keeps no image now, the 1 record archived from it stays"));
  EXPECT_EQ(repairs[1].readout, 5);
  EXPECT_EQ(
      repairs[1].change,
      QStringLiteral("the image of readout 5 goes back to readout 3, which is missing; its patch holds every "
                     "block: kept as its whole image"));
  EXPECT_EQ(store.Check().problems, QStringList());
  EXPECT_TRUE(store.RepairImages().isEmpty());
  EXPECT_EQ(QueryArchive(location, QStringLiteral("SELECT COUNT(*) FROM records"))[0][0].toInt(), 6);

  // The next readout is patched onto the last as before.
  LogInto(memory, random, 2);
  store.Merge(ReadoutOf(memory, 8));
  EXPECT_EQ(store.LastReadoutOf(Mac)->image, memory);
  EXPECT_EQ(Bases(location).last(), 7);
}

}  // namespace
