#pragma once

#include "core/Environment.h"
#include "core/SharedState.h"
#include "link/DeviceLink.h"
#include "views/WindowModel.h"

// "mac sn reg...": asks the device at Edit_IP1 for its identity and adds "yy.mm.dd;<reply>" to sales.csv
// in the program's folder unless a line with the same MAC address (characters 10..26, case counts) is
// there already. Memo1 shows the reply, then the entry with its verdict. sales.csv must exist (an empty
// file will do; a header line is added to a file of less than 20 characters). A reply holding control
// characters is refused, as it would split the list's lines.
void RegisterDevice(SharedState& state, WindowModel& view, DeviceLink& link, const Environment& env);
