#include <benchmark/benchmark.h>

#include <span>

#include "decode/DeviceCatalogue.h"
#include "decode/LogDecoding.h"
#include "decode/RingOrdering.h"
#include "tools/sim/LogGenerator.h"

namespace {

constexpr int LargeChipBlocks = 96;

// Decoding and ordering a full 96-block log of the given device code, as a readout does once all
// blocks have arrived. Target: at least 300 MB/s.
void BM_DecodeAndOrderFullLog(benchmark::State& bench) {
  const int deviceCode = int(bench.range(0));
  const DeviceType type = *LookUpDeviceType(deviceCode);
  SimulatorConfig config;
  config.deviceCode = deviceCode;
  config.chipCode = 2;
  config.recordCount = LargeChipBlocks * LogBlockSize / type.recordLength - 2;
  const QByteArray log = GenerateLog(config, LargeChipBlocks * LogBlockSize);

  const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(log.constData()), size_t(log.size()));
  size_t records = 0;
  for (auto _ : bench) {
    RecordLog decoded = DecodeLog(bytes, type);
    const std::vector<LogRecord> ordered = OrderRing(decoded.records);
    records = ordered.size();
    benchmark::DoNotOptimize(ordered.data());
  }
  bench.SetLabel(type.name + QByteArray(", RecordLength ") + QByteArray::number(type.recordLength) + ", " +
                 QByteArray::number(qulonglong(records)) + " records");
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
