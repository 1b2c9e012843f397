// vald_soak [N=1000] [CHIP=1]: N full readouts of one simulated device in one process, as a user who
// presses "Lekérdezés" all day would make them. Prints the resident memory at the start, after a tenth
// of the readouts and at the end, and exits non-zero when a readout went wrong.
//
// The device is the simulator's responder behind a plain loopback socket, which keeps nothing per
// request, so that the memory figures are the program's own.

#include <unistd.h>

#include <QCoreApplication>
#include <QLocale>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "core/ValdError.h"
#include "fuzz/LoopbackDevice.h"
#include "operations/Readout.h"
#include "support/TempFolder.h"
#include "tools/sim/DeviceResponder.h"

namespace {

// Resident memory of this process in KiB (second field of /proc/self/statm, in pages).
long ResidentKiB() {
  std::ifstream statm("/proc/self/statm");
  long sizePages = 0;
  long residentPages = 0;
  statm >> sizePages >> residentPages;
  return residentPages * (sysconf(_SC_PAGESIZE) / 1024);
}

void PrintResident(const char* when, int readouts) {
  std::printf("%-22s after %5d readouts: %7ld KiB resident\n", when, readouts, ResidentKiB());
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QLocale::setDefault(QLocale::c());
  const int readouts = argc > 1 ? std::atoi(argv[1]) : 1000;
  SimulatorConfig config;
  config.chipCode = argc > 2 ? std::atoi(argv[2]) : 1;
  if (readouts < 1) {
    std::fprintf(stderr, "usage: vald_soak [N=1000] [CHIP=1]\n");
    return 2;
  }

  const DeviceResponder responder(config);
  LoopbackDevice device([&](const QByteArray& request) { return responder.Answer(request); });
  TempFolder folder;
  Environment env;
  env.programFolder = folder.Path();
  env.systemDecimalSeparator = ',';
  SharedState state;
  state.DecimalSeparatorText = ",";
  WindowModel view;
  DeviceLink link;
  link.host = QStringLiteral("127.0.0.1");
  link.port = device.Port();

  const int tenth = std::max(1, readouts / 10);
  const long startKiB = ResidentKiB();
  PrintResident("start", 0);
  long tenthKiB = 0;
  int failed = 0;
  int logLines = -1;
  for (int i = 1; i <= readouts; ++i) {
    try {
      const ReadoutReport report = ReadDeviceLog(state, view, link, env, link.host);
      // Every readout of the same device gives the same log.
      if (!report.deviceFound() || !report.blocksWithoutReply.isEmpty() ||
          (logLines >= 0 && state.LogRecords.Count() != logLines)) {
        ++failed;
      }
      logLines = state.LogRecords.Count();
    } catch (const ValdError& error) {
      std::fprintf(stderr, "readout %d: %s\n", i, error.what());
      ++failed;
    }
    if (i == tenth) {
      tenthKiB = ResidentKiB();
      PrintResident("after a tenth", i);
    }
  }
  const long endKiB = ResidentKiB();
  PrintResident("end", readouts);
  std::printf("growth: %+ld KiB from the start, %+ld KiB from the tenth; %d lines a readout, %d failed\n",
              endKiB - startKiB, endKiB - tenthKiB, logLines, failed);
  return failed == 0 ? 0 : 1;
}
