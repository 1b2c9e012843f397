#pragma once

#include "core/SharedState.h"
#include "files/MeasurementFileLoad.h"
#include "link/MemoryTools.h"
#include "link/RegistrationList.h"
#include "readout/ReadoutSteps.h"
#include "views/WindowModel.h"

// The one place where what an operation did becomes what the main window shows. Each presenter shows
// a result as far as the operation got, so it also runs after an operation that ended in an error.

// Label1, then, once the header was read: the emptied memos, the chip text (status panel 3), the device
// name or "No device", and after the last block the decoded lines (Memo1) and the log (Memo2) that the
// state took from the readout, its measurement lines written with the system's separator as well.
void PresentReadout(const ReadoutResult& result, const SharedState& state, WindowModel& view,
                    char systemDecimalSeparator);

// Label1 and Memo1 of a service tool of the "Data" page.
void PresentToolResult(const ToolResult& result, WindowModel& view);

// Memo1: the device's identity reply, then the entry with its verdict.
void PresentRegistration(const RegistrationResult& result, WindowModel& view);

// The device name or "No device", and Memo2 for a file of a known device type.
void PresentLoadedFile(const LoadedMeasurementFile& loaded, WindowModel& view);
