#include <gtest/gtest.h>

#include "decode/LogImage.h"
#include "readout/LogReadout.h"
#include "support/SimulatorFixture.h"
#include "tools/sim/DeviceImage.h"
#include "tools/sim/DeviceRing.h"

namespace {

constexpr int AgateRecord = 10;

// The nth record an AGATE device wrote: its time and values tell it from every other.
QByteArray NthRecord(int n) {
  return RecordImage('w', uint8_t(n % 60), AgateRecord, uint8_t(n % 200), uint8_t(n / 200));
}

QByteArray Marker(char kind) {
  return RecordImage(uint8_t(kind), 0, AgateRecord, 0, 0);
}

// A ring that has not turned: records 0..count-1, then the "f" end.
QByteArray FreshRing(int count, int first = 0) {
  QByteArray log;
  for (int n = first; n < first + count; ++n) log += NthRecord(n);
  return log + Marker('f');
}

// A ring that has turned: the newest records, the "x" write point, the older records, the "e" end.
QByteArray TurnedRing(int newest, int older) {
  QByteArray log;
  for (int n = older; n < older + newest; ++n) log += NthRecord(n);
  log += Marker('x');
  for (int n = 0; n < older; ++n) log += NthRecord(n + 1000);
  return log + Marker('e');
}

// The same ring after the device wrote `count` more records at its write point, moving the point on.
QByteArray Written(QByteArray log, int count) {
  int writePoint = 0;
  while (log[writePoint * AgateRecord] == 'w') ++writePoint;
  const QByteArray marker = log.mid(writePoint * AgateRecord, AgateRecord);
  for (int k = 0; k < count; ++k)
    log.replace((writePoint + k) * AgateRecord, AgateRecord, NthRecord(5000 + k));
  return log.replace((writePoint + count) * AgateRecord, AgateRecord, marker);
}

// The log of an AGATE whose ring ends at slot 100, after it wrote records 0 .. count-1 as the device does.
QByteArray RingOf100(int count) {
  DeviceRing ring(32 * 512, AgateRecord, 100);
  for (int n = 0; n < count; ++n) ring.Write(NthRecord(n));
  return ring.Log();
}

// The device memory of an AGATE (or another device code) on a 25LC254 holding `log`.
QByteArray DeviceMemory(const QByteArray& log, int deviceCode = 2) {
  return DeviceImage::ForLog(deviceCode, 1, 0, log).ToBytes();
}

// What a readout of the device holding `memory` gives, reading only what is new against the image an
// earlier readout of `earlierMemory` gave (none: every block).
ReadoutResult ReadDevice(const QByteArray& memory, const std::optional<QByteArray>& earlierMemory) {
  QByteArray earlierImage;
  if (earlierMemory) earlierImage = ReadDevice(*earlierMemory, std::nullopt).rawImage;
  SimulatorConfig config;
  config.image = memory;
  RunningSimulator device(config);
  SharedState state;
  DeviceLink link;
  link.port = device.Port();
  ReadoutResult result;
  ReadLog(state, link, {}, QStringLiteral("127.0.0.1"), result, {},
          earlierMemory ? EarlierImageOf([&](const ReadoutResult&) {
            return QtFuture::makeReadyFuture(EarlierImage{earlierImage, {}});
          })
                        : EarlierImageOf());
  return result;
}

struct RingChange {
  const char* name;
  QByteArray before;
  QByteArray after;
  int afterDeviceCode;
  bool incremental;
  int blockRequests;       // a stale picture is found out after one block, then every block is read
  const char* fullReason;  // why the whole log was read
};

void PrintTo(const RingChange& change, std::ostream* os) {
  *os << change.name;
}

class ReadOnlyWhatIsNew : public testing::TestWithParam<RingChange> {};

TEST_P(ReadOnlyWhatIsNew, GivesWhatAFullReadoutOfTheSameMemoryGives) {
  const RingChange& change = GetParam();
  const QByteArray memory = DeviceMemory(change.after, change.afterDeviceCode);

  const ReadoutResult full = ReadDevice(memory, std::nullopt);
  const ReadoutResult read = ReadDevice(memory, DeviceMemory(change.before));

  // The records are decoded from the image, as in a full readout.
  EXPECT_EQ(read.rawImage, full.rawImage);
  EXPECT_TRUE(read.blocksWithoutReply.isEmpty());
  EXPECT_EQ(read.log.records.size(), full.log.records.size());
  EXPECT_EQ(read.incremental, change.incremental);
  EXPECT_EQ(read.blockRequests, change.blockRequests);
  EXPECT_EQ(read.fullReason, QString::fromUtf8(change.fullReason));
}

INSTANTIATE_TEST_SUITE_P(
    Rings, ReadOnlyWhatIsNew,
    testing::Values(RingChange{"NothingNew", FreshRing(20), FreshRing(20), 2, true, 1, ""},
                    RingChange{"NewRecordsInOneBlock", FreshRing(20), Written(FreshRing(20), 3), 2, true, 1,
                               ""},
                    RingChange{"NewRecordsAcrossABlockBoundary", FreshRing(48), Written(FreshRing(48), 5), 2,
                               true, 2, ""},
                    RingChange{"TurnedRingGainsRecords", TurnedRing(30, 200),
                               Written(TurnedRing(30, 200), 60), 2, true, 2, ""},
                    // The write point went over the ring's end "e" on to slot 0: the blocks from the end's
                    // and then from the ring's start are read.
                    RingChange{"TurnedRingPassesItsEnd", RingOf100(150), RingOf100(210), 2, true, 2, ""},
                    RingChange{"FreshRingTurns", RingOf100(90), RingOf100(110), 2, true, 2, ""},
                    RingChange{"RingWentPastTheOldWritePoint", TurnedRing(30, 200), TurnedRing(30, 1400), 2,
                               false, 33, "the archived newest record is no longer where it was"},
                    RingChange{"ClearedAndRewritten", FreshRing(200), FreshRing(5, 700), 2, false, 33,
                               "the archived newest record is no longer where it was"},
                    RingChange{"AnotherDeviceAtTheAddress", FreshRing(20), FreshRing(20), 3, false, 32,
                               "another device code or chip"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
