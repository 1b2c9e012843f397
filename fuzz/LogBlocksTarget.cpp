#include <algorithm>
#include <array>
#include <vector>

#include "decode/DeviceCatalogue.h"
#include "decode/LogDecoding.h"
#include "decode/RingOrdering.h"
#include "files/MeasurementLine.h"
#include "fuzz/FuzzInput.h"
#include "fuzz/FuzzTargets.h"

namespace {

// The DecimalSeparator setting: either separator, or none configured.
constexpr const char* SeparatorSettings[] = {",", ".", ""};

}  // namespace

// The readout after its header exchange: the blocks decoded into records and put into time order,
// the measurement and decoded lines formatted, with the blocks taken from the input instead of the
// device. The views that draw the ordered lines are fuzzed through the measurement file harness, whose
// lines reach them unrestricted.
void FuzzLogBlocks(std::span<const uint8_t> data) {
  FuzzInput input(data);
  const int deviceCode = input.TakeByte();
  const int chipCode = input.TakeByte();
  const uint8_t separators = input.TakeByte();
  const LineSeparators lineSeparators =
      SeparatorsOf(SeparatorSettings[(separators >> 1) % 3], (separators & 1) != 0 ? ',' : '.');

  const DeviceType* type = FindDeviceType(deviceCode);
  if (!type) return;
  const int blockCount = ChipBlockCount(chipCode).blockCount;
  FUZZ_REQUIRE(blockCount > 0);
  // A short reply leaves the rest of its block as zero bytes, and so does a block without a reply.
  std::vector<uint8_t> log(size_t(blockCount) * LogBlockSize, 0);
  for (int block = 0; block < blockCount; ++block) {
    const std::span<const uint8_t> taken = input.Take(LogBlockSize);
    std::copy(taken.begin(), taken.end(), log.begin() + block * LogBlockSize);
  }
  RecordLog decoded = DecodeLog(log, *type);
  FUZZ_REQUIRE(decoded.Count() ==
               int((log.size() + size_t(type->recordLength) - 1) / size_t(type->recordLength)));
  const TextLines decodedLines = FormatDecodedLines(decoded.records, decoded.values, lineSeparators);
  const std::vector<LogRecord> ordered = OrderRing(decoded.records);
  const TextLines logLines = FormatMeasurementLines(ordered, decoded.values, lineSeparators);
  FUZZ_REQUIRE(logLines.Count() <= decodedLines.Count());
  // Every line reads back into a record of as many columns as it was written from.
  const RecordLog readBack = ReadMeasurementLines(logLines);
  for (int i = 0; i < logLines.Count(); ++i) {
    FUZZ_REQUIRE(readBack.records[i].valueCount + readBack.records[i].timeCount <=
                 ordered[i].valueCount + ordered[i].timeCount);
  }
}
