#include "link/MemoryTools.h"

#include "core/IntegerText.h"
#include "core/Win1250.h"
#include "decode/DeviceTypes.h"
#include "link/Exchanges.h"

namespace {

constexpr int BlockBytes = 512;

// The reset every dump tool starts with; the list clearing differs between the tools.
void StartDump(SharedState& state, WindowModel& view, DeviceLink& link) {
  link.host = FromWin1250(view.addressEdits[0]);
  state.ReceivedByteCount = 0;
  state.OutputText.clear();
  state.LinePosition = 0;
}

void TakeDumpLines(SharedState& state) {
  state.DecodedLines.SetText(state.OutputText + "\r\n");
}

}  // namespace

void DumpMemoryAsDecimal(SharedState& state, WindowModel& view, DeviceLink& link) {
  StartDump(state, view, link);
  state.DecodedLines.Clear();
  state.LogLines.Clear();
  const int count = ParseInteger(view.blockCountEdit);
  for (int k = 0; k < count; ++k) {
    ExchangeAsDecimal(state, view, link, MemoryReadRequest(ParseInteger(view.eeAddrEdit)));
  }
  TakeDumpLines(state);
  view.memo1 = state.DecodedLines.Text();
}

void DumpMemoryAsText(SharedState& state, WindowModel& view, DeviceLink& link) {
  StartDump(state, view, link);
  const int count = ParseInteger(view.blockCountEdit);
  for (int k = 0; k < count; ++k) {
    const int64_t address = int64_t(ParseInteger(view.eeAddrEdit)) + int64_t(k) * BlockBytes;
    ExchangeAsText(state, view, link, MemoryReadRequest(address));
  }
  TakeDumpLines(state);
  view.memo1 = state.OutputText;
}

void ReadHeaderWord(SharedState& state, WindowModel& view, DeviceLink& link) {
  ExchangeAsDecimal(state, view, link, MemoryReadRequest(HeaderAddress));
  uint32_t word = 0;
  for (int i = 3; i >= 0; --i) word = (word << 8) | state.ReceiveBuffer[HeaderWordOffset + i];
  view.memo1 = QByteArray::number(int32_t(word));
}

void ResetDeviceNetwork(SharedState& state, WindowModel& view, DeviceLink& link) {
  link.host = FromWin1250(view.addressEdits[0]);
  view.memo1 = ExchangeForReplyText(state, link, NetResetRequest, DeviceLink::ReplyTextTimeoutMs);
}
