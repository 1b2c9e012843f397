#include <gtest/gtest.h>

#include "archive/SiteTime.h"
#include "core/ValdError.h"

namespace {

const QTimeZone Budapest("Europe/Budapest");

struct Span {
  const char* name;
  int firstYear;  // a record on the 1st of January at noon, then one on 2040-07-01 at noon
};

class SummerOf2040 : public testing::TestWithParam<Span> {};

// The zone database spells out the changes until 2037; later summers follow the zone's rule.
TEST_P(SummerOf2040, KeepsItsSummerTimeInAnySpan) {
  const qint64 local[] = {LocalSeconds(GetParam().firstYear, 1, 1, 12, 0), LocalSeconds(2040, 7, 1, 12, 0)};
  const std::vector<SiteTime> times = SiteTimesInRingOrder(local, Budapest);
  EXPECT_EQ(local[0] - times[0].utc, 3600);
  EXPECT_EQ(local[1] - times[1].utc, 7200);
}

INSTANTIATE_TEST_SUITE_P(Spans, SummerOf2040,
                         testing::Values(Span{"FromBefore2038", 2024}, Span{"Within2040", 2040}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SiteTimeZone, TakesOnlyNamesOfTheTimeZoneDatabase) {
  for (const char* name : {"Europe/Budapest", "CET", "UTC", "Etc/GMT-2"})
    EXPECT_NO_THROW(SiteTimeZone(QString::fromLatin1(name))) << name;
  for (const char* name : {"Budapest", "garbage", "hungary", "Cet", "../../etc/passwd"})
    EXPECT_THROW(SiteTimeZone(QString::fromLatin1(name)), ValdError) << name;
}

}  // namespace
