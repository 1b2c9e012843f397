#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDateTime>

#include "core/TextLines.h"
#include "export/RecordsDigest.h"
#include "files/MeasurementLine.h"
#include "report/PeriodSummary.h"
#include "report/ReportChart.h"
#include "report/ReportSeal.h"
#include "report/ReportWording.h"

// The parts of the printable report that are worked out before anything is drawn.

namespace {

RecordLog LogOf(const QList<QByteArray>& lines) {
  return ReadMeasurementLines(TextLines(lines));
}

// Minutes of the device's clock, taken as UTC, as the chart counts them.
qint64 MinuteOf(const char* text) {
  const QDateTime local =
      QDateTime::fromString(QString::fromLatin1(text), QStringLiteral("yyyy-MM-dd hh:mm"));
  return QDateTime(local.date(), local.time(), Qt::UTC).toSecsSinceEpoch() / 60;
}

struct TicksCase {
  const char* what;
  const char* first;
  const char* last;
  int labelRoom;
  QStringList labels;
};

TEST(TimeAxisTicks, TheStepFitsThePeriodHoursForADayDaysForAMonth) {
  const TicksCase cases[] = {
      {"a day: every two hours, midnight named by its day",
       "2024-03-01 00:00",
       "2024-03-01 23:50",
       12,
       {"03-01", "02:00", "04:00", "06:00", "08:00", "10:00", "12:00", "14:00", "16:00", "18:00", "20:00",
        "22:00"}},
      {"an afternoon: every half hour",
       "2024-03-01 13:05",
       "2024-03-01 16:10",
       8,
       {"13:30", "14:00", "14:30", "15:00", "15:30", "16:00"}},
      {"two days: every six hours",
       "2024-03-01 00:00",
       "2024-03-02 23:50",
       10,
       {"03-01", "06:00", "12:00", "18:00", "03-02", "06:00", "12:00", "18:00"}},
  };
  for (const TicksCase& c : cases) {
    QStringList labels;
    for (const TimeTick& tick : TimeAxisTicks(MinuteOf(c.first), MinuteOf(c.last), c.labelRoom))
      labels << tick.label;
    EXPECT_EQ(labels, c.labels) << c.what;
  }
  // A month of days: every day with room for 31 labels, every other one with room for 20.
  const std::vector<TimeTick> daily =
      TimeAxisTicks(MinuteOf("2024-03-01 00:00"), MinuteOf("2024-03-31 23:50"), 31);
  ASSERT_EQ(daily.size(), 31u);
  EXPECT_EQ(daily.front().label, QStringLiteral("03-01"));
  EXPECT_EQ(daily.back().label, QStringLiteral("03-31"));
  const std::vector<TimeTick> everyOther =
      TimeAxisTicks(MinuteOf("2024-03-01 00:00"), MinuteOf("2024-03-31 23:50"), 20);
  ASSERT_EQ(everyOther.size(), 15u);
  for (const TimeTick& tick : everyOther) EXPECT_EQ(tick.label.size(), 5) << tick.label.toStdString();
  EXPECT_EQ(everyOther[1].minute - everyOther[0].minute, 2 * 24 * 60);
}

TEST(RecordsDigest, TheCanonicalTextIsTheRecordsInTimeOrderWhateverTheirSeparator) {
  const RecordLog comma = LogOf({"2024;03;01;00;20;21,50;--;", "2024;03;01;00;10;20,0;-0;",
                                 "2024;00;00;00;00;1,0;1,0;", "2024;03;01;00;30;x;7;"});
  const RecordLog point =
      LogOf({"2024;03;01;00;10;20.0;-0;", "2024;03;01;00;20;21.50;--;", "2024;03;01;00;30;x;7;"});
  const QByteArray text =
      "2024-03-01 00:10;20.0;-0\n"
      "2024-03-01 00:20;21.50;--\n"
      "2024-03-01 00:30;?;7\n";
  EXPECT_EQ(RecordsCanonicalText(comma), text);
  EXPECT_EQ(RecordsCanonicalText(point), text);
  const RecordsDigest digest = DigestOfRecords(comma);
  // sha256sum of the text above.
  EXPECT_EQ(digest.sha256, QCryptographicHash::hash(text, QCryptographicHash::Sha256).toHex());
  EXPECT_EQ(digest.records, 3);
  EXPECT_EQ(RecordTimeText(*digest.first), QStringLiteral("2024-03-01 00:10"));
  EXPECT_EQ(RecordTimeText(*digest.last), QStringLiteral("2024-03-01 00:30"));
  EXPECT_NE(DigestOfRecords(
                LogOf({"2024;03;01;00;10;20.1;-0;", "2024;03;01;00;20;21.50;--;", "2024;03;01;00;30;x;7;"}))
                .sha256,
            digest.sha256);
}

TEST(PeriodSummary, ExcursionsLastUntilTheNextRecordAndAddUpPerChannelAndSide) {
  // AGATE, a record every ten minutes; channel 1 above 25 at 00:10-00:20 and 00:50, below 18 at
  // 01:00 (the last record); channel 2 has no limit.
  const RecordLog log =
      LogOf({"2024;03;01;00;00;20.0;5.0;", "2024;03;01;00;10;26.0;5.0;", "2024;03;01;00;20;27.0;5.0;",
             "2024;03;01;00;30;20.0;5.0;", "2024;03;01;00;40;20.0;5.0;", "2024;03;01;00;50;30.0;5.0;",
             "2024;03;01;01;00;17.0;--;"});
  const DeviceType& type = *FindDeviceType(21);  // AGATE
  std::vector<ChannelLimit> limits(size_t(type.ValueColumns()));
  limits[0].low = 18;
  limits[0].high = 25;
  const PeriodSummary summary = SummarisePeriod(log, type, limits);
  ASSERT_EQ(summary.excursions.size(), 3u);
  EXPECT_EQ(summary.excursions[0].minutes, 20);  // 00:10 until 00:30, back inside
  EXPECT_EQ(summary.excursions[1].minutes, 10);  // 00:50 until 01:00
  EXPECT_EQ(summary.excursions[2].minutes, 0);   // the log ends with it
  EXPECT_EQ(summary.TotalMinutes(), 30);
  EXPECT_EQ(summary.Longest(), &summary.excursions[0]);
  ASSERT_EQ(summary.channels.size(), 2u);
  const ChannelSummary& first = summary.channels[0];
  EXPECT_EQ(first.count, 7);
  EXPECT_EQ(first.minimum, 17);
  EXPECT_EQ(first.maximum, 30);
  EXPECT_NEAR(first.mean, 160.0 / 7, 1e-9);
  ASSERT_TRUE(first.meanKinetic);
  EXPECT_GT(*first.meanKinetic, first.mean);  // warm spells age more than cool ones spare
  EXPECT_EQ(first.minutesAbove, 30);
  EXPECT_EQ(first.minutesBelow, 0);
  EXPECT_EQ(summary.channels[1].count, 6);
  EXPECT_TRUE(summary.anyLimit);
  EXPECT_FALSE(SummarisePeriod(log, type, std::vector<ChannelLimit>(limits.size())).anyLimit);
}

TEST(ReportSeal, ItIsReadBackFromTheMetadataAndNothingElsePassesForIt) {
  const ReportSeal seal{QStringLiteral("AA:BB:CC:DD:EE:FF"), QStringLiteral("2024-03-01 00:00"),
                        QStringLiteral("2024-03-02 23:50"), 288, QByteArray(64, 'a')};
  const QByteArray pdf = "%PDF-1.4\n...stream\n" +
                         ReportXmpMetadata(QStringLiteral("Report & <title>"), seal) + "\nendstream\n%%EOF";
  EXPECT_EQ(ReadReportSeal(pdf), seal);
  const ReportSeal odd{QStringLiteral("10.0.0.7:27262/4352 <&>"), seal.first, seal.last, 1, seal.sha256};
  EXPECT_EQ(ReadReportSeal(ReportXmpMetadata(QString(), odd)), odd);
  for (const QByteArray& other :
       {QByteArray("%PDF-1.4 no metadata"),
        QByteArray(
            "<pdf:Keywords>VALD records; device=x; first=a; last=b; records=1; sha256=abc</pdf:Keywords>"),
        QByteArray("<pdf:Keywords>holiday; pictures</pdf:Keywords>")})
    EXPECT_FALSE(ReadReportSeal(other)) << other.toStdString();
}

TEST(ReportWording, DurationsAreDaysHoursAndMinutesInTheReportsLanguage) {
  const ReportWording& english = ReportWordingOf(TableWording::English);
  const ReportWording& hungarian = ReportWordingOf(TableWording::Hungarian);
  EXPECT_EQ(DurationText(0, english), QStringLiteral("0 min"));
  EXPECT_EQ(DurationText(360, english), QStringLiteral("6 h"));
  EXPECT_EQ(DurationText(24 * 60 + 65, english), QStringLiteral("1 d 1 h 5 min"));
  EXPECT_EQ(DurationText(24 * 60 + 65, hungarian), QStringLiteral("1 nap 1 óra 5 perc"));
}

}  // namespace
