// Costs of the device link: one request/reply round trip over loopback (the floor under every
// readout's 33 or 97 exchanges), the exchanges of a full readout made blocking, one after the other,
// and the simulator's generation of a full log.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include "link/Exchanges.h"
#include "link/MemoryMap.h"
#include "support/DelayedDevice.h"
#include "tools/sim/LogGenerator.h"

namespace {

// The header and every block of a 25LC512 asked for with blocking exchanges, as the command-line
// tools make them, against a device whose every reply waits 2 ms: the ratio to the sum of those waits
// is the cost of the blocking exchange itself (the readout's decoding is left out).
void BM_BlockingExchangesAgainstReplyDelays(benchmark::State& run) {
  RunningSimulator device(DelayedDevice());
  DeviceLink link = LoopbackLinkTo(device);
  double totalMs = 0;
  for (auto _ : run) {
    QElapsedTimer timer;
    timer.start();
    int replies = ExchangeRequest(link, MemoryReadRequest(HeaderAddress)).length > 0;
    for (int block = 0; block + 1 < DelayedDeviceReplies; ++block) {
      replies += ExchangeRequest(link, LogBlockRequest(block)).length > 0;
    }
    const double elapsedMs = double(timer.nsecsElapsed()) / 1e6;
    if (replies != DelayedDeviceReplies) run.SkipWithError("exchanges without reply");
    totalMs += elapsedMs;
    run.SetIterationTime(elapsedMs / 1000);
  }
  run.counters["ratio"] = totalMs / double(run.iterations()) / (DelayedDeviceReplies * DelayedReplyMs);
}
BENCHMARK(BM_BlockingExchangesAgainstReplyDelays)
    ->UseManualTime()
    ->Iterations(20)
    ->Unit(benchmark::kMillisecond);

void BM_ExchangeAsText(benchmark::State& run) {
  RunningSimulator device(SimulatorConfig{});
  DeviceLink link = LoopbackLinkTo(device);
  for (auto _ : run) {
    MemoryDump dump;
    ExchangeAsText(link, LogBlockRequest(5), dump);
  }
  run.SetItemsProcessed(run.iterations());
}
BENCHMARK(BM_ExchangeAsText)->Unit(benchmark::kMicrosecond);

void BM_GenerateFullLog(benchmark::State& run) {
  SimulatorConfig config;
  config.deviceCode = int(run.range(0));
  config.chipCode = 2;
  config.recordCount = 100000;
  for (auto _ : run) benchmark::DoNotOptimize(SimulatedDeviceImage(config));
}
BENCHMARK(BM_GenerateFullLog)->Arg(2)->Arg(50)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
