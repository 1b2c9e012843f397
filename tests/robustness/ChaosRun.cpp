// vald_chaos [N=10000] [FIRST_SEED=1] [AT_ONCE=32]: N readouts of simulated devices in chaos mode, seeds
// FIRST_SEED onwards, AT_ONCE at a time, each checked against what its device sent (see
// ChaosReadouts.h). Prints the figures and every violation with its seed; exits 1 if there is one.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLocale>
#include <cstdio>
#include <cstdlib>

#include "robustness/ChaosReadouts.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QLocale::setDefault(QLocale::c());
  const int readouts = argc > 1 ? std::atoi(argv[1]) : 10000;
  const long firstSeed = argc > 2 ? std::atol(argv[2]) : 1;
  const int atOnce = argc > 3 ? std::atoi(argv[3]) : 32;
  if (readouts < 1 || firstSeed < 0 || atOnce < 1 || atOnce > 254) {
    std::fprintf(stderr, "usage: vald_chaos [N=10000] [FIRST_SEED=1] [AT_ONCE=32, at most 254]\n");
    return 2;
  }
  QElapsedTimer elapsed;
  elapsed.start();
  const ChaosFigures figures = RunChaosReadouts(uint32_t(firstSeed), readouts, atOnce);
  std::printf("%s\n", qPrintable(ChaosReport(figures, double(elapsed.elapsed()) / 1000)));
  return figures.violations.isEmpty() ? 0 : 1;
}
