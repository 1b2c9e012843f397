#pragma once

#include <QByteArray>
#include <optional>

#include "core/SharedState.h"
#include "link/DeviceLink.h"

// What a service tool of the "Data" page did, as far as it got: an error ends a tool half-way and what
// it did until then stays.
struct ToolResult {
  std::optional<QByteArray> memo1;       // Memo1's new text; nothing leaves Memo1 as it is
  std::optional<int> receivedByteCount;  // ReceivedByteCount after the last counted exchange (Label1)
};

// The fields the dump tools read: Edit_EE_addr (the memory address) and Edit3 (the block count). A field
// that is not an integer throws once the dump state is reset and before anything is sent. The device is
// the host the link holds.
struct DumpFields {
  QByteArray memoryAddress;
  QByteArray blockCount;
};

// "addr dec": Edit3 dumps of the memory at Edit_EE_addr (the same address each time) as decimal byte
// values. Clears DecodedLines and the shown log; DecodedLines and Memo1 get the dump's lines.
void RunDecimalDump(SharedState& state, DeviceLink& link, const DumpFields& fields, ToolResult& result);

// "addr str": Edit3 consecutive 512-byte blocks from Edit_EE_addr on, as characters. DecodedLines gets
// the dump's lines, Memo1 its text; the shown log stays.
void RunTextDump(SharedState& state, DeviceLink& link, const DumpFields& fields, ToolResult& result);

// "Read word": the signed 32-bit little-endian word at bytes 20..23 of the log header into Memo1. The
// header's reply is counted in ReceivedByteCount, which is not reset first.
void RunHeaderWordRead(SharedState& state, DeviceLink& link, ToolResult& result);

// Button1: sends the network reset command; Memo1 shows the device's reply text.
void RunNetworkReset(DeviceLink& link, ToolResult& result);
