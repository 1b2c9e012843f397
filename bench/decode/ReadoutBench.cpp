#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLocale>

#include "operations/Readout.h"
#include "readout/LogReadout.h"
#include "support/DelayedDevice.h"
#include "support/TempFolder.h"

namespace {

// A full readout of a simulated device on loopback whose every reply waits 2 ms, the way the window
// makes it: the readout job on the event loop, then its state taken over, the views drawn and the
// measurement file written. Measured against the sum of those waits (target: a ratio of at most 1.03);
// jobRatio is the job's share alone, the exchanges and the decoding.
void BM_ReadoutAgainstReplyDelays(benchmark::State& bench) {
  RunningSimulator device(DelayedDevice());
  TempFolder folder;
  DeviceLink link = LoopbackLinkTo(device);
  Environment env;
  env.systemDecimalSeparator = ',';
  env.programFolder = folder.Path();

  double totalMs = 0;
  double jobMs = 0;
  for (auto _ : bench) {
    SharedState state;
    state.DecimalSeparatorText = ",";
    WindowModel view;
    QElapsedTimer timer;
    timer.start();
    LogReadout job(state, link);
    QEventLoop loop;
    QObject::connect(&job, &LogReadout::Finished, &loop, &QEventLoop::quit);
    job.Start();
    loop.exec();
    jobMs += double(timer.nsecsElapsed()) / 1e6;
    ReadoutResult result = job.Result();
    AdoptReadoutState(state, std::move(job.State()));
    KeptReadout kept;
    ShowReadout(state, view, env, result, kept);
    const double elapsedMs = double(timer.nsecsElapsed()) / 1e6;
    if (!job.Error().isEmpty() || !result.blocksWithoutReply.isEmpty()) bench.SkipWithError("incomplete log");
    totalMs += elapsedMs;
    bench.SetIterationTime(elapsedMs / 1000);
  }
  const double delaysMs = double(bench.iterations()) * DelayedDeviceReplies * DelayedReplyMs;
  bench.counters["ratio"] = totalMs / delaysMs;
  bench.counters["jobRatio"] = jobMs / delaysMs;
}

BENCHMARK(BM_ReadoutAgainstReplyDelays)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

}  // namespace

// Sockets need a Qt application object; the benchmarks run in the C locale like the tests.
int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QLocale::setDefault(QLocale::c());
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
