#include <gtest/gtest.h>

#include <QElapsedTimer>

#include "robustness/ChaosReadouts.h"

namespace {

constexpr int Readouts = 300;
// The readouts mostly wait for replies that do not come, so many run at once even on a small machine.
constexpr int ReadoutsAtOnce = 16;

TEST(ChaosReadouts, SeededFaultsNeverLoseALogOrPassForAWholeOne) {
  QElapsedTimer elapsed;
  elapsed.start();
  const ChaosFigures figures = RunChaosReadouts(1, Readouts, ReadoutsAtOnce);
  const std::string report = ChaosReport(figures, double(elapsed.elapsed()) / 1000).toStdString();

  EXPECT_EQ(figures.readouts, Readouts);
  EXPECT_TRUE(figures.violations.isEmpty()) << report;
  // The seeds met every kind of fault, and readouts ended both complete and incomplete.
  for (int requests : figures.requestsByFault) EXPECT_GT(requests, 0) << report;
  EXPECT_GT(figures.complete, 0) << report;
  EXPECT_GT(figures.incomplete, 0) << report;
}

}  // namespace
