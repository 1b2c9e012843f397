#pragma once

#include <QString>
#include <functional>

#include "core/Environment.h"
#include "core/SharedState.h"
#include "decode/LogReadout.h"
#include "link/DeviceLink.h"
#include "views/WindowModel.h"

class ArchiveWriter;

// One "Lekérdezés": reads the whole log of the device at `host` (ReadLog), then ShowReadout. Socket
// errors propagate as ValdError, with what was shown so far left in the window model.
ReadoutResult ReadDeviceLog(SharedState& state, WindowModel& view, DeviceLink& link, const Environment& env,
                            const QString& host,
                            const std::function<void(int block, int blockCount)>& progress = {});

// The same readout, filling `result` as far as it gets, so that a caller that catches the error still
// sees what was done, the measurement file written included. `archiveWriter`: see ArchiveReadoutLog.
void ReadDeviceLog(SharedState& state, WindowModel& view, DeviceLink& link, const Environment& env,
                   const QString& host, ReadoutResult& result,
                   const std::function<void(int block, int blockCount)>& progress = {},
                   ArchiveWriter* archiveWriter = nullptr);

// What follows a readout that ran to its end (`state` holds what it read): shows what the readout did,
// and for a known device redraws the views, writes the automatic measurement file (unless
// env.writeMeasurementFiles is off), whose path goes into `result`, and merges the log into the archive
// (ArchiveReadoutLog: its failure is reported in the result, never thrown). An unknown device code shows "No
// device". A view error propagates as ValdError, but only after the automatic file has been written and
// archived: a log the views refuse is still the whole log the device gave.
void ShowReadout(SharedState& state, WindowModel& view, DeviceLink& link, const Environment& env,
                 ReadoutResult& result, ArchiveWriter* archiveWriter = nullptr);
