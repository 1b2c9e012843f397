#include "link/MemoryTools.h"

#include "core/IntegerText.h"
#include "link/Exchanges.h"
#include "link/MemoryMap.h"

namespace {

constexpr int BlockBytes = 512;

// The reset every dump tool starts with; the list clearing differs between the tools.
MemoryDump StartDump(SharedState& state) {
  state.ReceivedByteCount = 0;
  return {};
}

// A reply of a dump tool counted in ReceivedByteCount and shown in Label1.
void CountReply(SharedState& state, const ExchangeReply& reply, ToolResult& result) {
  state.ReceivedByteCount += reply.length;
  result.receivedByteCount = state.ReceivedByteCount;
}

void TakeDumpLines(SharedState& state, const MemoryDump& dump) {
  state.DecodedLines.SetText(dump.OutputText + "\r\n");
}

}  // namespace

void RunDecimalDump(SharedState& state, DeviceLink& link, const DumpFields& fields, ToolResult& result) {
  MemoryDump dump = StartDump(state);
  state.DecodedLines.Clear();
  state.LogRecords.Clear();
  const int count = ParseInteger(fields.blockCount);
  for (int k = 0; k < count; ++k) {
    CountReply(state, ExchangeAsDecimal(link, MemoryReadRequest(ParseInteger(fields.memoryAddress)), dump),
               result);
  }
  TakeDumpLines(state, dump);
  result.memo1 = state.DecodedLines.Text();
}

void RunTextDump(SharedState& state, DeviceLink& link, const DumpFields& fields, ToolResult& result) {
  MemoryDump dump = StartDump(state);
  const int count = ParseInteger(fields.blockCount);
  for (int k = 0; k < count; ++k) {
    const int64_t address = int64_t(ParseInteger(fields.memoryAddress)) + int64_t(k) * BlockBytes;
    CountReply(state, ExchangeAsText(link, MemoryReadRequest(address), dump), result);
  }
  TakeDumpLines(state, dump);
  result.memo1 = dump.OutputText;
}

void RunHeaderWordRead(SharedState& state, DeviceLink& link, ToolResult& result) {
  const ExchangeReply reply = ExchangeRequest(link, MemoryReadRequest(HeaderAddress));
  CountReply(state, reply, result);
  const QByteArray header = ReplyBlock(reply);
  uint32_t word = 0;
  for (int i = 3; i >= 0; --i) word = (word << 8) | uint8_t(header[HeaderWordOffset + i]);
  result.memo1 = QByteArray::number(int32_t(word));
}

void RunNetworkReset(DeviceLink& link, ToolResult& result) {
  result.memo1 = ExchangeForReplyText(link, NetResetRequest, DeviceLink::ReplyTextTimeoutMs);
}
