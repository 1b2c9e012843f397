#pragma once

#include "core/Environment.h"
#include "core/SharedState.h"
#include "link/DeviceLink.h"
#include "views/WindowModel.h"

// The service tools of the "Data" page as the window runs them: inputs are Edit_IP1
// (view.addressEdits[0]), Edit_EE_addr (view.eeAddrEdit) and Edit3 (view.blockCountEdit); what the tool
// did is shown in Memo1 and Label1 (see link/MemoryTools.h and link/RegistrationList.h for the tools).

// "addr dec" and "addr str" for the device at Edit_IP1.
void DumpMemoryAsDecimal(SharedState& state, WindowModel& view, DeviceLink& link);
void DumpMemoryAsText(SharedState& state, WindowModel& view, DeviceLink& link);

// "Read word", from the host the link already holds.
void ReadHeaderWord(SharedState& state, WindowModel& view, DeviceLink& link);

// Button1: the network reset command to Edit_IP1.
void ResetDeviceNetwork(WindowModel& view, DeviceLink& link);

// "mac sn reg...": registers the device at Edit_IP1 in sales.csv.
void RegisterDevice(WindowModel& view, DeviceLink& link, const Environment& env);
