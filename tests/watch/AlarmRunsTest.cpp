#include <gtest/gtest.h>

#include "WatchLogs.h"
#include "decode/LogImage.h"
#include "readout/ReadoutSteps.h"
#include "tools/sim/DeviceImage.h"
#include "watch/AlarmRuns.h"
#include "watch/LimitRules.h"

namespace {

const DeviceType& Agate() {
  return *FindDeviceType(21);  // two temperatures
}

RecordTime At(int hour, int minute) {
  return {2024, 3, 1, uint8_t(hour), uint8_t(minute)};
}

TEST(AlarmRuns, EachUnbrokenRunBeyondALimitIsOneAlarm) {
  const RecordLog log = LogOfLines({
      "2024;03;01;00;00;5,0;20,0;", "2024;03;01;00;10;8,5;20,0;", "2024;03;01;00;20;9,1;20,0;",
      "2024;03;01;00;30;--;20,0;",  // a gap ends the run
      "2024;03;01;00;40;8.2;20,0;", "2024;03;01;00;50;7,9;20,0;", "2024;03;01;01;00;1,5;20,0;",
      "2024;03;01;01;10;1,0;20,0;", "2024;03;01;01;20;1,8;20,0;",
      "2024;03;01;01;30;8,0;20,0;",  // on the limit is within it
      "2024;03;01;01;40;9,0;20,0;",
      "2024;03;01;01;50;-1,0;20,0;",  // from above the high limit straight below the low one
  });
  const std::vector<ChannelLimit> limits = {{2, 8}, {}};
  const std::vector<Alarm> expected = {
      {0, LimitSide::High, 8, At(0, 10), At(0, 20), 2, 9.1},
      {0, LimitSide::High, 8, At(0, 40), At(0, 40), 1, 8.2},
      {0, LimitSide::Low, 2, At(1, 0), At(1, 20), 3, 1.0},
      {0, LimitSide::High, 8, At(1, 40), At(1, 40), 1, 9.0},
      {0, LimitSide::Low, 2, At(1, 50), At(1, 50), 1, -1.0, true},  // the log ends beyond the limit
  };
  EXPECT_EQ(FindAlarms(log, Agate(), limits), expected);
}

TEST(AlarmRuns, ARunGoesOnOverTheRingsTurn) {
  RecordLog log = LogOfLines({
      "2024;03;01;10;00;20,0;9,0;",
      "2024;03;01;10;10;20,0;9,5;",
      "2024;03;01;10;20;20,0;9,2;",
      "2024;03;01;10;30;20,0;5,0;",
  });
  // The newest records of the ring's last pass come first in time order, then the oldest of the new one.
  for (int i = 0; i < log.Count(); ++i) log.records[size_t(i)].kind = i < 2 ? 'b' : 'a';
  const std::vector<ChannelLimit> limits = {{}, {std::nullopt, 8.5}};
  const std::vector<Alarm> expected = {{1, LimitSide::High, 8.5, At(10, 0), At(10, 20), 3, 9.5}};
  EXPECT_EQ(FindAlarms(log, Agate(), limits), expected);
}

TEST(AlarmRuns, AlarmsComeInTheOrderTheyStartedWithTheQuantitysUnit) {
  // The energy meter logs tenths: 125 is 12.5 kW.
  const RecordLog log = LogOfLines({
      "2024;03;01;00;00;125;0;0;2300;2300;2300;10;10;10;",
      "2024;03;01;00;10;90;0;0;2450;2300;2300;10;10;10;",
  });
  const DeviceType& meter = *FindDeviceType(55);
  std::vector<ChannelLimit> limits(size_t(meter.ValueColumns()));
  limits[0] = {std::nullopt, 10};
  limits[3] = {std::nullopt, 240};
  const std::vector<Alarm> expected = {
      {0, LimitSide::High, 10, At(0, 0), At(0, 0), 1, 12.5},
      {3, LimitSide::High, 240, At(0, 10), At(0, 10), 1, 245, true},
  };
  EXPECT_EQ(FindAlarms(log, meter, limits), expected);
}

// A log of the first channel's values every ten minutes from 00:00, the second one's steady.
RecordLog TenMinuteLog(const std::vector<const char*>& values) {
  QList<QByteArray> lines;
  for (size_t i = 0; i < values.size(); ++i) {
    lines << QStringLiteral("2024;03;01;%1;%2;%3;20,0;")
                 .arg(i / 6, 2, 10, QLatin1Char('0'))
                 .arg(i % 6 * 10, 2, 10, QLatin1Char('0'))
                 .arg(QLatin1String(values[i]))
                 .toLatin1();
  }
  return LogOfLines(lines);
}

struct ExcursionCase {
  const char* name;
  std::vector<const char*> values;  // every ten minutes from 00:00
  ChannelLimit limit;
  std::vector<Alarm> expected;
};

class Excursions : public testing::TestWithParam<ExcursionCase> {};

TEST_P(Excursions, GiveTheirAlarms) {
  const std::vector<ChannelLimit> limits = {GetParam().limit, {}};
  EXPECT_EQ(FindAlarms(TenMinuteLog(GetParam().values), Agate(), limits), GetParam().expected);
}

ChannelLimit High(double high, double delayMinutes, double hysteresis) {
  ChannelLimit limit;
  limit.high = high;
  limit.delayMinutes = delayMinutes;
  limit.hysteresis = hysteresis;
  return limit;
}

// A low limit as a limits file gives it: "*;1;LOW;;DELAY;HYSTERESIS".
ChannelLimit Low(const char* low, const char* hysteresis) {
  return ReadLimitRules(
             QStringLiteral("*;1;%1;;0;%2\n").arg(QLatin1String(low), QLatin1String(hysteresis)).toLatin1(),
             QStringLiteral("limits.csv"))
      .LimitOf({}, Agate(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    DelayAndHysteresis, Excursions,
    testing::Values(
        // One record beyond lasts no time; four records span 30 minutes.
        ExcursionCase{"SpikeAndHalfHourWithDelay",
                      {"5,0", "9,0", "5,0", "9,0", "9,5", "9,1", "9,2", "5,0"},
                      High(8, 10, 0),
                      {{0, LimitSide::High, 8, At(0, 30), At(1, 0), 4, 9.5}}},
        // Ten minutes exactly is long enough; the excursion still going on is open.
        ExcursionCase{"TenMinutesIsTheDelay",
                      {"5,0", "9,0", "9,0"},
                      High(8, 10, 0),
                      {{0, LimitSide::High, 8, At(0, 10), At(0, 20), 2, 9.0, true}}},
        // Hovering around the limit: back inside, but not by the hysteresis.
        ExcursionCase{"HoveringWithHysteresis",
                      {"7,0", "8,1", "7,9", "8,1", "7,9", "8,1", "7,9", "7,4", "8,1"},
                      High(8, 0, 0.5),
                      {{0, LimitSide::High, 8, At(0, 10), At(0, 50), 5, 8.1},
                       {0, LimitSide::High, 8, At(1, 20), At(1, 20), 1, 8.1, true}}},
        // Below a low limit the same: 2.4 is not back by the hysteresis, 2.5 is.
        ExcursionCase{"HoveringBelowWithHysteresis",
                      {"3,0", "1,9", "2,4", "1,9", "2,5", "1,9"},
                      Low("2", "0.5"),
                      {{0, LimitSide::Low, 2, At(0, 10), At(0, 30), 3, 1.9},
                       {0, LimitSide::Low, 2, At(0, 50), At(0, 50), 1, 1.9, true}}},
        ExcursionCase{"HoveringWithoutHysteresis",
                      {"8,1", "7,9", "8,1"},
                      High(8, 0, 0),
                      {{0, LimitSide::High, 8, At(0, 0), At(0, 0), 1, 8.1},
                       {0, LimitSide::High, 8, At(0, 20), At(0, 20), 1, 8.1, true}}},
        // The time across a gap does not count toward the delay: 10 + 10 minutes beyond with 20 minutes
        // of gap between them is 20 minutes, not 40.
        ExcursionCase{"GapTimeIsNoDelay", {"9,0", "9,0", "--", "9,0", "9,0", "5,0"}, High(8, 25, 0), {}},
        // A gap ends the run, not the excursion: the run after it is the same excursion's, an alarm at
        // once, and both runs stay open until a record back inside ends them.
        ExcursionCase{"AGapIsNoAllClear",
                      {"9,0", "9,0", "--", "9,0"},
                      High(8, 10, 0),
                      {{0, LimitSide::High, 8, At(0, 0), At(0, 10), 2, 9.0, true},
                       {0, LimitSide::High, 8, At(0, 30), At(0, 30), 1, 9.0, true}}}),
    [](const testing::TestParamInfo<ExcursionCase>& info) { return std::string(info.param.name); });

// Records lost with a block that did not answer end a run: a readout's log with block 1 missing, every
// record above the limit, gives one alarm before the gap and one after it.
TEST(AlarmRuns, LostRecordsEndARun) {
  constexpr int RecordLength = 10;
  QByteArray log;
  for (int k = 0; k < 150; ++k) log += RecordImage('w', uint8_t(k % 60), RecordLength, 0x1E, 0x00);
  log += RecordImage('f', 0, RecordLength, 0, 0);
  log.append(32 * LogBlockSize - log.size(), char(0xFF));
  log.replace(LogBlockSize, LogBlockSize, QByteArray(LogBlockSize, '\0'));
  ReadoutResult result;
  result.rawImage = DeviceImage::ForLog(2, 1, 0, {}).MemoryAt(4352) + log;
  result.deviceType = LookUpDeviceType(2);
  result.chip = ChipBlockCount(1);
  result.blocksWithoutReply = {{1, 0}};
  FinishLog(result);

  const std::vector<ChannelLimit> limits = {{std::nullopt, 24}, {}};
  const std::vector<Alarm> alarms = FindAlarms(result.log, *result.deviceType, limits);

  ASSERT_EQ(alarms.size(), 2u);
  EXPECT_EQ(alarms[0].records + alarms[1].records, 150 - result.lostRecords);
}

}  // namespace
