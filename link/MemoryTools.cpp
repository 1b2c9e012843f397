#include "link/MemoryTools.h"

#include "core/IntegerText.h"
#include "link/Exchanges.h"
#include "link/MemoryMap.h"

namespace {

constexpr int BlockBytes = 512;

// The reset every dump tool starts with; the list clearing differs between the tools.
void StartDump(SharedState& state) {
  state.ReceivedByteCount = 0;
  state.OutputText.clear();
  state.LinePosition = 0;
}

void TakeDumpLines(SharedState& state) {
  state.DecodedLines.SetText(state.OutputText + "\r\n");
}

}  // namespace

void RunDecimalDump(SharedState& state, DeviceLink& link, const DumpFields& fields, ToolResult& result) {
  StartDump(state);
  state.DecodedLines.Clear();
  state.LogRecords.Clear();
  const int count = ParseInteger(fields.blockCount);
  for (int k = 0; k < count; ++k) {
    ExchangeAsDecimal(state, link, MemoryReadRequest(ParseInteger(fields.memoryAddress)));
    result.receivedByteCount = state.ReceivedByteCount;
  }
  TakeDumpLines(state);
  result.memo1 = state.DecodedLines.Text();
}

void RunTextDump(SharedState& state, DeviceLink& link, const DumpFields& fields, ToolResult& result) {
  StartDump(state);
  const int count = ParseInteger(fields.blockCount);
  for (int k = 0; k < count; ++k) {
    const int64_t address = int64_t(ParseInteger(fields.memoryAddress)) + int64_t(k) * BlockBytes;
    ExchangeAsText(state, link, MemoryReadRequest(address));
    result.receivedByteCount = state.ReceivedByteCount;
  }
  TakeDumpLines(state);
  result.memo1 = state.OutputText;
}

void RunHeaderWordRead(SharedState& state, DeviceLink& link, ToolResult& result) {
  ExchangeAsDecimal(state, link, MemoryReadRequest(HeaderAddress));
  result.receivedByteCount = state.ReceivedByteCount;
  uint32_t word = 0;
  for (int i = 3; i >= 0; --i) word = (word << 8) | state.ReceiveBuffer[HeaderWordOffset + i];
  result.memo1 = QByteArray::number(int32_t(word));
}

void RunNetworkReset(SharedState& state, DeviceLink& link, ToolResult& result) {
  result.memo1 = ExchangeForReplyText(state, link, NetResetRequest, DeviceLink::ReplyTextTimeoutMs);
}
