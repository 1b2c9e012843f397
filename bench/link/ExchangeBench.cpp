// Costs of the device link: one request/reply round trip over loopback (the floor under every
// readout's 33 or 97 exchanges) and the simulator's generation of a full log.

#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include "link/Exchanges.h"
#include "support/SimulatorFixture.h"
#include "tools/sim/LogGenerator.h"

namespace {

void BM_ExchangeAsText(benchmark::State& run) {
  RunningSimulator device(SimulatorConfig{});
  SharedState state;
  DeviceLink link;
  link.host = QStringLiteral("127.0.0.1");
  link.port = device.Port();
  for (auto _ : run) {
    state.OutputText.clear();
    ExchangeAsText(state, link, LogBlockRequest(5));
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
