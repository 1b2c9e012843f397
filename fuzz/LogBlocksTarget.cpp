#include <algorithm>
#include <array>

#include "decode/DeviceTypes.h"
#include "decode/LogOrdering.h"
#include "decode/LogRecordDecoder.h"
#include "fuzz/FuzzInput.h"
#include "fuzz/FuzzTargets.h"
#include "fuzz/RenderedViews.h"

namespace {

// The DecimalSeparator setting: either separator, or none configured.
constexpr const char* SeparatorSettings[] = {",", ".", ""};

}  // namespace

// The readout after its header exchange: the block loop, the two ordering passes and the views, with
// the blocks taken from the input instead of the device.
void FuzzLogBlocks(std::span<const uint8_t> data) {
  FuzzInput input(data);
  SharedState state;
  WindowModel view;
  Environment env;
  state.DeviceCode = input.TakeByte();
  state.ChipCode = input.TakeByte();
  const uint8_t separators = input.TakeByte();
  env.systemDecimalSeparator = (separators & 1) != 0 ? ',' : '.';
  state.DecimalSeparatorText = SeparatorSettings[(separators >> 1) % 3];

  const std::optional<DeviceType> type = LookUpDeviceType(state.DeviceCode);
  if (!type) return;
  state.RecordLength = type->recordLength;

  const int blockCount = ChipBlockCount(state.ChipCode).blockCount;
  FUZZ_REQUIRE(blockCount > 0);
  const FieldFormat format{type->fieldType, state.DecimalSeparatorText, env.systemDecimalSeparator};
  RecordCursor cursor{.currentRecordKind = 'a', .recordLength = state.RecordLength};
  for (int block = 0; block < blockCount; ++block) {
    // A short reply leaves the rest of the block as zero bytes.
    std::array<uint8_t, LogBlockSize> reply{};
    const std::span<const uint8_t> taken = input.Take(LogBlockSize);
    std::copy(taken.begin(), taken.end(), reply.begin());
    DecodeLogBlock(reply, cursor, format, state.OutputText);
    FUZZ_REQUIRE(cursor.linePosition >= 0 && cursor.linePosition < cursor.recordLength);
  }

  SortDecodedRecords(state);
  FUZZ_REQUIRE(state.LogLines.Count() <= state.DecodedLines.Count());
  view.memo1 = state.DecodedLines.Text();
  view.memo2 = state.LogLines.Text();
  RenderAndCheckViews(state, view, env);
}
