#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "WatchLogs.h"
#include "watch/DailyStatistics.h"

namespace {

TEST(MeanKineticTemperature, KnownAnswers) {
  EXPECT_NEAR(MeanKineticTemperature({5, 5, 5}), 5, 1e-9);
  EXPECT_NEAR(MeanKineticTemperature({20, 30}), 26.259887, 1e-6);
  EXPECT_NEAR(MeanKineticTemperature({2, 4, 6, 8, 25}), 13.936934, 1e-6);
}

TEST(DailyStatistics, EqualADirectComputationOfEachDayAndChannel) {
  // Two temperatures of an AGATE over two days and a record of an invalid date, which counts for none.
  QList<QByteArray> lines;
  std::map<std::pair<int, int>, std::vector<double>> values;  // by day (0, 1) and column
  for (int i = 0; i < 48; ++i) {
    const double t1 = 4 + 0.1 * i;
    const double t2 = 21 - 0.3 * (i % 7);
    const bool gap = i % 10 == 3;
    lines << QStringLiteral("2024;03;%1;%2;%3;%4;%5;")
                 .arg(i < 30 ? 1 : 2, 2, 10, QLatin1Char('0'))
                 .arg(i % 24, 2, 10, QLatin1Char('0'))
                 .arg(i % 6 * 10, 2, 10, QLatin1Char('0'))
                 .arg(gap ? QStringLiteral("--") : QString::number(t1, 'f', 1))
                 .arg(t2, 0, 'f', 1)
                 .toLatin1();
    const int day = i < 30 ? 0 : 1;
    if (!gap) values[{day, 0}].push_back(std::round(t1 * 10) / 10);
    values[{day, 1}].push_back(std::round(t2 * 10) / 10);
  }
  lines << "0;00;00;00;00;99,0;99,0;";
  const std::vector<DayStatistics> statistics = DailyStatistics(LogOfLines(lines), *FindDeviceType(21));
  ASSERT_EQ(statistics.size(), 4u);
  for (size_t row = 0; row < statistics.size(); ++row) {
    const DayStatistics& got = statistics[row];
    const std::vector<double>& channel = values[{int(row / 2), int(row % 2)}];
    EXPECT_EQ(got.day, QDate(2024, 3, row < 2 ? 1 : 2));
    EXPECT_EQ(got.column, int(row % 2));
    double sum = 0, kinetic = 0;
    for (const double value : channel) {
      sum += value;
      kinetic += std::exp(-10000 / (value + 273.15));
    }
    EXPECT_EQ(got.count, int(channel.size()));
    EXPECT_DOUBLE_EQ(got.minimum, *std::min_element(channel.begin(), channel.end()));
    EXPECT_DOUBLE_EQ(got.maximum, *std::max_element(channel.begin(), channel.end()));
    EXPECT_NEAR(got.mean, sum / double(channel.size()), 1e-9);
    ASSERT_TRUE(got.meanKinetic);
    EXPECT_NEAR(*got.meanKinetic, 10000 / -std::log(kinetic / double(channel.size())) - 273.15, 1e-9);
  }
}

TEST(DailyStatistics, OnlyTemperaturesHaveAMeanKineticTemperature) {
  const std::vector<DayStatistics> statistics =
      DailyStatistics(LogOfLines({"2024;03;01;00;00;20,0;45,0;", "2024;03;01;00;10;22,0;55,0;"}),
                      *FindDeviceType(51));  // a temperature and a humidity
  ASSERT_EQ(statistics.size(), 2u);
  EXPECT_TRUE(statistics[0].meanKinetic);
  EXPECT_FALSE(statistics[1].meanKinetic);
  EXPECT_DOUBLE_EQ(statistics[1].mean, 50);
}

}  // namespace
