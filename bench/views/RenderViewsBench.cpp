#include <benchmark/benchmark.h>

#include "core/Environment.h"
#include "core/SharedState.h"
#include "decode/DeviceCatalogue.h"
#include "files/MeasurementLine.h"
#include "views/RenderViews.h"

namespace {

constexpr int FullLogBytes = 96 * 512;  // a 25LC512 chip

// A log of `lines` measurement lines of a device whose values are tenths (FieldType 10), written as
// the field codec writes them: "21.5", "-3.2", whole numbers without a fraction, "--" now and then.
SharedState MakeLog(int deviceCode, int lines) {
  SharedState state;
  state.DeviceCode = deviceCode;
  state.ChipCode = 2;
  state.RecordLength = LookUpDeviceType(deviceCode)->recordLength;
  const int fields = (state.RecordLength - 6) / 2;
  TextLines text;
  for (int i = 0; i < lines; ++i) {
    QByteArray line = "2023;" + QByteArray::number(1 + i / 2880 % 12).rightJustified(2, '0') + ";" +
                      QByteArray::number(1 + i / 96 % 28).rightJustified(2, '0') + ";" +
                      QByteArray::number(i / 4 % 24).rightJustified(2, '0') + ";" +
                      QByteArray::number(i % 4 * 15).rightJustified(2, '0') + ";";
    for (int k = 0; k < fields; ++k) {
      const int tenths = (i * 7 + k * 131) % 700 - 100;
      line += (i + k) % 97 == 0 ? QByteArray("--") : QByteArray::number(tenths / 10.0, 'g', 15);
      line += ';';
    }
    text.Add(line);
  }
  state.LogRecords = ReadMeasurementLines(text);
  return state;
}

void RenderLog(benchmark::State& run, int deviceCode, int lines) {
  SharedState state = MakeLog(deviceCode, lines);
  WindowModel view;
  Environment env;
  env.systemDecimalSeparator = '.';
  for (auto _ : run) {
    RenderViews(state, view, env);
    benchmark::DoNotOptimize(view.summary);
  }
  run.counters["lines"] = lines;
}

// Full logs: GALENA (RecordLength 8, one channel), IOLITE (30, twelve channels), EMERALD (38, sixteen
// channels); then the longest log with the widest layout.
void BM_RenderGalenaFullLog(benchmark::State& run) {
  RenderLog(run, 52, FullLogBytes / 8);
}
void BM_RenderIoliteFullLog(benchmark::State& run) {
  RenderLog(run, 27, FullLogBytes / 30);
}
void BM_RenderEmeraldFullLog(benchmark::State& run) {
  RenderLog(run, 50, FullLogBytes / 38);
}
void BM_RenderEmerald6144Lines(benchmark::State& run) {
  RenderLog(run, 50, 6144);
}

BENCHMARK(BM_RenderGalenaFullLog)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderIoliteFullLog)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderEmeraldFullLog)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderEmerald6144Lines)->Unit(benchmark::kMillisecond);

}  // namespace
