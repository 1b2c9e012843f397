#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLocale>

#include "operations/Readout.h"
#include "support/SimulatorFixture.h"
#include "support/TempFolder.h"

namespace {

constexpr int ReplyDelayMs = 2;
constexpr int Replies = 1 + 96;  // the header and the blocks of a 25LC512

// A full readout of a simulated device on loopback whose every reply waits 2 ms, measured against
// the sum of those waits. Target: a ratio of at most 1.03.
void BM_ReadoutAgainstReplyDelays(benchmark::State& bench) {
  SimulatorConfig config;
  config.deviceCode = 27;
  config.chipCode = 2;
  config.recordCount = 1500;
  config.replyDelayMs = ReplyDelayMs;
  RunningSimulator device(config);
  TempFolder folder;

  double totalMs = 0;
  for (auto _ : bench) {
    SharedState state;
    state.DecimalSeparatorText = ",";
    WindowModel view;
    DeviceLink link;
    link.port = device.Port();
    Environment env;
    env.systemDecimalSeparator = ',';
    env.programFolder = folder.Path();
    QElapsedTimer timer;
    timer.start();
    const ReadoutResult report = ReadDeviceLog(state, view, link, env, QStringLiteral("127.0.0.1"));
    const double elapsedMs = double(timer.nsecsElapsed()) / 1e6;
    if (!report.blocksWithoutReply.isEmpty()) bench.SkipWithError("blocks without reply");
    totalMs += elapsedMs;
    bench.SetIterationTime(elapsedMs / 1000);
  }
  bench.counters["ratio"] = totalMs / double(bench.iterations()) / (Replies * ReplyDelayMs);
}

BENCHMARK(BM_ReadoutAgainstReplyDelays)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

}  // namespace

// Sockets need a Qt application object; the benchmarks run in the C locale like the tests. Qt's own
// event dispatcher times the simulator's 2 ms reply delays to the microsecond; the GLib one would round
// every wait up to the next whole millisecond and so measure the simulator's timer instead of the readout.
int main(int argc, char** argv) {
  qputenv("QT_NO_GLIB", "1");
  QCoreApplication app(argc, argv);
  QLocale::setDefault(QLocale::c());
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
