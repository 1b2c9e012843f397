#include <gtest/gtest.h>

#include "decode/LogIntegrity.h"

namespace {

LogRecord At(int hour, int minute) {
  LogRecord record;
  record.kind = 'a';
  record.timeCount = LogRecord::TimeColumns;
  record.time = {2024, 10, 27, uint8_t(hour), uint8_t(minute)};
  return record;
}

struct StepBack {
  const char* name;
  int hour;  // the second record's time, after one at 03:00
  int minute;
  int reversals;
};

class TimeStepBack : public testing::TestWithParam<StepBack> {};

// A clock that follows daylight saving time goes back an hour in autumn; more than that is a device
// that answered with the wrong bytes.
TEST_P(TimeStepBack, CountsAsAReversalOnlyBeyondTheClockChange) {
  const std::vector<LogRecord> ordered{At(3, 0), At(GetParam().hour, GetParam().minute)};
  EXPECT_EQ(CheckLogIntegrity({}, {}, ordered).timeReversals, GetParam().reversals);
}

INSTANTIATE_TEST_SUITE_P(Steps, TimeStepBack,
                         testing::Values(StepBack{"AFewMinutes", 2, 55, 0},
                                         StepBack{"TheClockChange", 2, 0, 0}, StepBack{"TwoHours", 1, 0, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
