#include <benchmark/benchmark.h>

#include <algorithm>

#include "decode/DeviceTypes.h"
#include "decode/LogOrdering.h"
#include "decode/LogRecordDecoder.h"
#include "tools/sim/LogGenerator.h"

namespace {

constexpr int LargeChipBlocks = 96;

// Decoding and ordering a full 96-block log of the given device code, as a readout does once all
// blocks have arrived in ReceiveBuffer one after the other. Target: under 2 ms.
void BM_DecodeAndOrderFullLog(benchmark::State& bench) {
  const int deviceCode = int(bench.range(0));
  const DeviceType type = *LookUpDeviceType(deviceCode);
  SimulatorConfig config;
  config.deviceCode = deviceCode;
  config.chipCode = 2;
  config.recordCount = LargeChipBlocks * LogBlockSize / type.recordLength - 2;
  const QByteArray log = GenerateLog(config, LargeChipBlocks * LogBlockSize);

  SharedState state;
  state.DecimalSeparatorText = ",";
  state.RecordLength = type.recordLength;
  for (auto _ : bench) {
    state.OutputText.clear();
    state.LinePosition = 0;
    state.CurrentRecordKind = 'a';
    for (int block = 0; block < LargeChipBlocks; ++block) {
      const char* bytes = log.constData() + block * LogBlockSize;
      std::copy(bytes, bytes + LogBlockSize, state.ReceiveBuffer.begin());
      DecodeLogBlock(state, type.fieldType, ',');
    }
    SortDecodedRecords(state);
    benchmark::DoNotOptimize(state.LogLines.Count());
  }
  bench.SetLabel(type.name + QByteArray(", RecordLength ") + QByteArray::number(type.recordLength) + ", " +
                 QByteArray::number(state.LogLines.Count()) + " lines");
  bench.SetBytesProcessed(bench.iterations() * log.size());
}

BENCHMARK(BM_DecodeAndOrderFullLog)
    ->Arg(12)
    ->Arg(52)
    ->Arg(30)
    ->Arg(27)
    ->Arg(50)
    ->Unit(benchmark::kMillisecond);

}  // namespace
