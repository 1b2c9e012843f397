#include <gtest/gtest.h>

#include "archive/SiteTime.h"
#include "archive/TimeOrdering.h"
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

// Records read in the archive key's order (local time, then pass) come out as the device wrote them
// across the autumn change, where the repeated hour's second pass follows the first, and a skipped
// spring hour is marked. Records are settled 4096 at a time: the first such batch ends amid the
// repeated hour, where records of its second pass wait for later ones of the first.
TEST(TimeOrdering, PutsTheKeysOrderIntoTimeOrderAsRecordsCome) {
  std::vector<qint64> written;
  for (qint64 t = LocalSeconds(2023, 10, 26, 6, 44); t < LocalSeconds(2023, 10, 31, 0, 0); t += 60) {
    written.push_back(t);
    if (t == LocalSeconds(2023, 10, 29, 2, 59))
      for (qint64 again = LocalSeconds(2023, 10, 29, 2, 0); again <= t; again += 60) written.push_back(again);
  }
  written.push_back(LocalSeconds(2024, 3, 31, 2, 30));
  const std::vector<SiteTime> times = SiteTimesInRingOrder(written, Budapest);
  std::vector<ArchivedLine> keyOrder;
  for (size_t i = 0; i < written.size(); ++i) {
    ArchivedLine& record = keyOrder.emplace_back();
    record.time = written[i];
    record.timeUtc = times[i].utc;
    record.secondPass = times[i].secondPass;
    record.line = QByteArray::number(qulonglong(i));
  }
  std::stable_sort(keyOrder.begin(), keyOrder.end(), [](const ArchivedLine& a, const ArchivedLine& b) {
    return std::tie(a.time, a.secondPass) < std::tie(b.time, b.secondPass);
  });
  QList<QByteArray> lines;
  QList<QByteArray> skipped;
  TimeOrdering ordering(120, Budapest, [&](ArchivedLine& record) {
    lines << record.line;
    if (record.skipped) skipped << record.line;
  });
  for (ArchivedLine& record : keyOrder) ordering.Add(std::move(record));
  ordering.Finish();
  ASSERT_EQ(lines.size(), qsizetype(written.size()));
  for (qsizetype i = 0; i < lines.size(); ++i) ASSERT_EQ(lines[i], QByteArray::number(i)) << "at " << i;
  EXPECT_EQ(skipped, QList<QByteArray>{QByteArray::number(qulonglong(written.size() - 1))});
}
