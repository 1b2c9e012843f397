#include <algorithm>
#include <array>

#include "core/ValdError.h"
#include "decode/DeviceTypes.h"
#include "decode/LogOrdering.h"
#include "decode/LogRecordDecoder.h"
#include "fuzz/FreshWindow.h"
#include "fuzz/FuzzInput.h"
#include "fuzz/FuzzTargets.h"
#include "fuzz/RenderedViews.h"
#include "views/RenderViews.h"

namespace {

// The DecimalSeparator setting: either separator, or none configured.
constexpr const char* SeparatorSettings[] = {",", ".", ""};

}  // namespace

// The readout after its header exchange: the block loop, the two ordering passes and the views, with
// the blocks taken from the input instead of the device.
void FuzzLogBlocks(std::span<const uint8_t> data) {
  FuzzInput input(data);
  SharedState state;
  WindowModel view = FreshWindow();
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
  view.memo1 = state.DecodedLines.Text();
  view.memo2 = state.LogLines.Text();
  try {
    RenderViews(state, view, env);
  } catch (const ValdError&) {
    return;
  }
  RequireRenderedViews(state, view);
}
