#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLocale>

#include "decode/LogDecoding.h"
#include "link/MemoryMap.h"
#include "operations/Readout.h"
#include "pipeline/ReadoutPipeline.h"
#include "readout/LogReadout.h"
#include "support/DelayedDevice.h"
#include "support/TempFolder.h"
#include "tools/sim/DeviceImage.h"
#include "tools/sim/LogGenerator.h"

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
  const ReadoutRun run = OpenReadoutRun(env, ",");

  double totalMs = 0;
  double jobMs = 0;
  for (auto _ : bench) {
    SharedState state;
    state.DecimalSeparatorText = ",";
    WindowModel view;
    QElapsedTimer timer;
    timer.start();
    LogReadout job(link);
    QEventLoop loop;
    QObject::connect(&job, &LogReadout::Finished, &loop, &QEventLoop::quit);
    job.Start();
    loop.exec();
    jobMs += double(timer.nsecsElapsed()) / 1e6;
    ReadoutResult result = job.Result();
    AdoptReadout(state, result);
    ReadoutOutcome kept;
    ShowReadout(state, view, run, result, kept);
    const double elapsedMs = double(timer.nsecsElapsed()) / 1e6;
    if (!job.Error().isEmpty() || !result.blocksWithoutReply.isEmpty()) bench.SkipWithError("incomplete log");
    totalMs += elapsedMs;
    bench.SetIterationTime(elapsedMs / 1000);
  }
  const double delaysMs = double(bench.iterations()) * DelayedDeviceReplies * DelayedReplyMs;
  bench.counters["ratio"] = totalMs / delaysMs;
  bench.counters["jobRatio"] = jobMs / delaysMs;
}

// Everything a readout does after the last reply of a full 96-block IOLITE log: decoding and ordering,
// taking the log into the state, the views, the measurement file and the merge into an archive that
// already holds the log, through the writer that the window opens as the readout starts. Target: at
// most 5 ms.
void BM_AfterTheLastReply(benchmark::State& bench) {
  SimulatorConfig config;
  config.deviceCode = 27;
  config.chipCode = 2;
  config.recordCount = 96 * LogBlockSize / 30 - 2;
  const DeviceImage image = SimulatedDeviceImage(config);
  ReadoutResult read;
  read.host = QStringLiteral("127.0.0.1");
  read.identity = "00:1A:2B:3C:4D:5E";
  read.rawImage = image.MemoryAt(HeaderAddress) + image.log;
  read.deviceType = LookUpDeviceType(config.deviceCode);
  read.chip = ChipBlockCount(config.chipCode);
  TempFolder folder;
  Environment env;
  env.systemDecimalSeparator = ',';
  env.programFolder = folder.Path();
  env.archive = folder.File(QStringLiteral("archive.sqlite"));
  const ReadoutRun run = OpenReadoutRun(env, ",");
  const auto afterTheLastReply = [&] {
    ReadoutResult result = read;
    FinishLog(result);
    SharedState state;
    state.DecimalSeparatorText = ",";
    state.DeviceCode = config.deviceCode;
    state.ChipCode = config.chipCode;
    state.RecordLength = result.deviceType->recordLength;
    WindowModel view;
    ReadoutOutcome kept;
    ShowReadout(state, view, run, result, kept);
    return kept;
  };
  afterTheLastReply();  // the archive holds the log from here on
  for (auto _ : bench) {
    const ReadoutOutcome kept = afterTheLastReply();
    if (kept.archivedLines != 0) bench.SkipWithError("the log was not in the archive yet");
  }
}

BENCHMARK(BM_AfterTheLastReply)->Unit(benchmark::kMillisecond)->UseRealTime();

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
