#pragma once

#include "core/SharedState.h"
#include "link/DeviceLink.h"
#include "views/WindowModel.h"

// The service tools of the "Data" page. Inputs are Edit_IP1 (view.addressEdits[0]), Edit_EE_addr
// (view.eeAddrEdit) and Edit3 (view.blockCountEdit); output goes to Memo1 and Label1. A field that is
// not an integer throws once the dump state is reset and before anything is sent.

// "addr dec": Edit3 dumps of the memory at Edit_EE_addr (the same address each time) as decimal byte
// values. Clears DecodedLines and LogLines; DecodedLines and Memo1 get the dump's lines.
void DumpMemoryAsDecimal(SharedState& state, WindowModel& view, DeviceLink& link);

// "addr str": Edit3 consecutive 512-byte blocks from Edit_EE_addr on, as characters. DecodedLines gets
// the dump's lines, Memo1 its text; LogLines stays.
void DumpMemoryAsText(SharedState& state, WindowModel& view, DeviceLink& link);

// "Read word": the signed 32-bit little-endian word at bytes 20..23 of the log header, from the host the
// link already holds, into Memo1. The header's dump is appended to OutputText without being shown.
void ReadHeaderWord(SharedState& state, WindowModel& view, DeviceLink& link);

// Button1: sends the network reset command to Edit_IP1; Memo1 shows the device's reply text.
void ResetDeviceNetwork(SharedState& state, WindowModel& view, DeviceLink& link);
