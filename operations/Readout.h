#pragma once

#include <QString>
#include <functional>

#include "core/Environment.h"
#include "core/SharedState.h"
#include "link/DeviceLink.h"
#include "pipeline/ReadoutPipeline.h"
#include "readout/LogReadout.h"
#include "views/WindowModel.h"

// A whole readout as one call sees it: what the device gave and where its log went.
struct ReadoutReport : ReadoutResult, ReadoutOutcome {};

// One "Lekérdezés": reads the whole log of the device at `host` (ReadLog), then ShowReadout, in a run of
// its own for `env`. Socket errors propagate as ValdError, with what was shown so far left in the window
// model; `result` and `kept` hold what was done, so that a caller that catches the error still sees it.
void ReadDeviceLog(SharedState& state, WindowModel& view, DeviceLink& link, const Environment& env,
                   const QString& host, ReadoutResult& result, ReadoutOutcome& kept,
                   const std::function<void(int block, int blockCount)>& progress = {});
ReadoutReport ReadDeviceLog(SharedState& state, WindowModel& view, DeviceLink& link, const Environment& env,
                            const QString& host,
                            const std::function<void(int block, int blockCount)>& progress = {});

// What follows a readout that ran to its end (`state` holds the job's state): shows what the readout
// did, and for a known device takes its log (LogRecords) and its decoded lines ("Data" page), redraws
// the views and keeps the log (KeepReadout, into the run's program folder) into `kept`, on a thread of its
// own while the views are made. An unknown device code shows "No device". A view error propagates as
// ValdError, but only after the log was kept: a log the views refuse is still the whole log the device
// gave. A file that could not be written is thrown after the views were drawn and the log archived.
void ShowReadout(SharedState& state, WindowModel& view, const ReadoutRun& run, const ReadoutResult& result,
                 ReadoutOutcome& kept);
