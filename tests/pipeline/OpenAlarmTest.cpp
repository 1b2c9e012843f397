#include <gtest/gtest.h>

#include "pipeline/MqttPublishing.h"
#include "watch/WatchLogs.h"

namespace {

struct OpenCase {
  const char* name;
  QList<QByteArray> lines;  // the first channel's high limit is 8
  bool open;
};

void PrintTo(const OpenCase& c, std::ostream* os) {
  *os << c.name;
}

class OpenAlarm : public testing::TestWithParam<OpenCase> {};

// The problem sensor is on while an excursion has not come back inside its limit by the newest record;
// a gap at the end does not bring it back.
TEST_P(OpenAlarm, LastsUntilAValueIsBackInside) {
  const RecordLog log = LogOfLines(GetParam().lines);
  LogAlarms alarms;
  alarms.type = FindDeviceType(21);
  const std::vector<ChannelLimit> limits = {{std::nullopt, 8}, {}};
  alarms.alarms = FindAlarms(log, *alarms.type, limits);
  EXPECT_EQ(HasOpenAlarm(alarms), GetParam().open);
}

INSTANTIATE_TEST_SUITE_P(
    Logs, OpenAlarm,
    testing::Values(
        OpenCase{"BeyondAtTheEnd", {"2024;03;01;00;00;5,0;20,0;", "2024;03;01;00;10;9,0;20,0;"}, true},
        OpenCase{"BackInside",
                 {"2024;03;01;00;00;9,0;20,0;", "2024;03;01;00;10;9,5;20,0;", "2024;03;01;00;20;5,0;20,0;"},
                 false},
        OpenCase{"GapAtTheEnd", {"2024;03;01;00;00;9,0;20,0;", "2024;03;01;00;10;--;20,0;"}, true},
        OpenCase{"NoAlarm", {"2024;03;01;00;00;5,0;20,0;"}, false}, OpenCase{"NoRecord", {}, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
