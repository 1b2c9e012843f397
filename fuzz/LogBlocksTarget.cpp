#include <algorithm>
#include <array>

#include "decode/DeviceTypes.h"
#include "decode/LogOrdering.h"
#include "decode/LogRecordDecoder.h"
#include "fuzz/FuzzInput.h"
#include "fuzz/FuzzTargets.h"

namespace {

// The DecimalSeparator setting: either separator, or none configured.
constexpr const char* SeparatorSettings[] = {",", ".", ""};

}  // namespace

// The readout after its header exchange: the block loop and the two ordering passes, with the blocks
// taken from the input instead of the device. The views that draw the ordered lines are fuzzed through
// the measurement file harness, whose lines reach them unrestricted.
void FuzzLogBlocks(std::span<const uint8_t> data) {
  FuzzInput input(data);
  SharedState state;
  state.DeviceCode = input.TakeByte();
  state.ChipCode = input.TakeByte();
  const uint8_t separators = input.TakeByte();
  const char systemSeparator = (separators & 1) != 0 ? ',' : '.';
  state.DecimalSeparatorText = SeparatorSettings[(separators >> 1) % 3];

  const std::optional<DeviceType> type = LookUpDeviceType(state.DeviceCode);
  if (!type) return;
  state.RecordLength = type->recordLength;

  const int blockCount = ChipBlockCount(state.ChipCode).blockCount;
  FUZZ_REQUIRE(blockCount > 0);
  const FieldFormat format{type->fieldType, state.DecimalSeparatorText, systemSeparator};
  RecordCursor cursor{.currentRecordKind = 'a', .recordLength = state.RecordLength};
  for (int block = 0; block < blockCount; ++block) {
    // A short reply leaves the rest of the block as zero bytes, and so does a block without a reply.
    std::array<uint8_t, LogBlockSize> reply{};
    const std::span<const uint8_t> taken = input.Take(LogBlockSize);
    std::copy(taken.begin(), taken.end(), reply.begin());
    // Within a record's length of zero bytes the open record ends and one of kind zero begins, where
    // the decoded lines end: the zero bytes after those add nothing, in this block or a later one.
    const size_t zeros = std::min(reply.size() - taken.size(), size_t(state.RecordLength));
    const qsizetype textBefore = state.OutputText.size();
    DecodeLogBlock(std::span(reply).first(taken.size() + zeros), cursor, format, state.OutputText);
    FUZZ_REQUIRE(cursor.linePosition >= 0 && cursor.linePosition < cursor.recordLength);
    const bool ended = state.OutputText.indexOf('\0', textBefore) >= 0;
    FUZZ_REQUIRE(ended || zeros < size_t(state.RecordLength));
    if (ended) break;
  }

  SortDecodedRecords(state);
  FUZZ_REQUIRE(state.LogLines.Count() <= state.DecodedLines.Count());
}
