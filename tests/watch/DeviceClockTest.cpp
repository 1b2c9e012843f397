#include <gtest/gtest.h>

#include "WatchLogs.h"
#include "watch/DeviceClock.h"

namespace {

const QTimeZone Budapest("Europe/Budapest");

TEST(DeviceClock, TheNewestRecordsAgeIsReadInTheDevicesZone) {
  const RecordLog log = LogOfLines({"2024;03;01;12;00;5,0;20,0;", "2024;03;01;12;10;5,0;20,0;"});
  // 12:10 in Budapest is 11:10 UTC.
  const QDateTime now(QDate(2024, 3, 1), QTime(11, 40), QTimeZone::utc());
  EXPECT_EQ(NewestRecordAgeMinutes(log, now, Budapest), 30);
  // Read as UTC, 12:10 is half an hour ahead.
  EXPECT_EQ(NewestRecordAgeMinutes(log, now, QTimeZone::utc()), -30);
  EXPECT_EQ(NewestRecordAgeMinutes(log, now.addSecs(-3600), Budapest), -30);
  EXPECT_EQ(LoggingIntervalMinutes(log), 10);
  EXPECT_FALSE(NewestRecordAgeMinutes(RecordLog{}, now, Budapest));
}

struct DeviceCase {
  const char* name;
  DeviceState device;
  std::optional<AlarmKind> expected;
};

class DeviceAlarms : public testing::TestWithParam<DeviceCase> {};

TEST_P(DeviceAlarms, FollowTheDevicesAnswerAndClock) {
  const DeviceWatchLimits limits{60, 15};
  EXPECT_EQ(DeviceAlarmKind(GetParam().device, limits), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    States, DeviceAlarms,
    testing::Values(DeviceCase{"NoAnswer", {false, {}, {}, false}, AlarmKind::Silent},
                    DeviceCase{"Fresh", {true, 5, 10, true}, std::nullopt},
                    DeviceCase{"StaleAndStill", {true, 61, 10, false}, AlarmKind::Silent},
                    DeviceCase{"NoRecords", {true, {}, {}, false}, AlarmKind::Silent},
                    DeviceCase{"InTheFuture", {true, -16, 10, true}, AlarmKind::Clock},
                    DeviceCase{"AlittleAhead", {true, -15, 10, true}, std::nullopt},
                    // Still logging, but its newest record lies behind: its clock is off.
                    DeviceCase{"BehindWhileLogging", {true, 120, 10, true}, AlarmKind::Clock},
                    // Behind by no more than its interval and the limit: a record is due.
                    DeviceCase{"DueAtItsInterval", {true, 40, 30, true}, std::nullopt}),
    [](const testing::TestParamInfo<DeviceCase>& info) { return std::string(info.param.name); });

// Without a clock limit of its own a device is held to the default of 15 minutes: ahead by that much, or
// behind by that and its logging interval while it keeps logging, is still on time; a minute more is not.
TEST(DeviceClock, TheDefaultLimitHoldsUpToItsBoundary) {
  const DeviceWatchLimits limits{60};
  EXPECT_FALSE(DeviceAlarmKind({true, -15, 10, true}, limits));
  EXPECT_EQ(DeviceAlarmKind({true, -16, 10, true}, limits), AlarmKind::Clock);
  EXPECT_FALSE(DeviceAlarmKind({true, 25, 10, true}, limits));
  EXPECT_EQ(DeviceAlarmKind({true, 26, 10, true}, limits), AlarmKind::Clock);
  // Not logging, the same age is no clock off: the device is still within its stale limit.
  EXPECT_FALSE(DeviceAlarmKind({true, 26, 10, false}, limits));
}

TEST(DeviceClock, WithoutAStaleLimitASilentDeviceRaisesNothing) {
  EXPECT_FALSE(DeviceAlarmKind({false, {}, {}, false}, {std::nullopt, 15}));
  EXPECT_FALSE(DeviceAlarmKind({true, 600, 10, false}, {std::nullopt, 15}));
}

}  // namespace
