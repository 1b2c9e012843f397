#include <benchmark/benchmark.h>

#include <span>

#include "decode/DeviceTypes.h"
#include "decode/LogOrdering.h"
#include "decode/LogRecordDecoder.h"
#include "tools/sim/LogGenerator.h"

namespace {

constexpr int LargeChipBlocks = 96;

// Decoding and ordering a full 96-block log of the given device code, as a readout does once all
// blocks have arrived one after the other. Target: under 2 ms.
void BM_DecodeAndOrderFullLog(benchmark::State& bench) {
  const int deviceCode = int(bench.range(0));
  const DeviceType type = *LookUpDeviceType(deviceCode);
  SimulatorConfig config;
  config.deviceCode = deviceCode;
  config.chipCode = 2;
  config.recordCount = LargeChipBlocks * LogBlockSize / type.recordLength - 2;
  const QByteArray log = GenerateLog(config, LargeChipBlocks * LogBlockSize);

  const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(log.constData()), size_t(log.size()));
  const FieldFormat format{type.fieldType, ",", ','};
  SharedState state;
  for (auto _ : bench) {
    state.OutputText.clear();
    RecordCursor cursor{.recordLength = type.recordLength};
    for (int block = 0; block < LargeChipBlocks; ++block) {
      DecodeLogBlock(bytes.subspan(size_t(block) * LogBlockSize, LogBlockSize), cursor, format,
                     state.OutputText);
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
