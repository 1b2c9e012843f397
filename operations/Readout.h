#pragma once

#include <QString>
#include <functional>
#include <optional>

#include "core/Environment.h"
#include "core/SharedState.h"
#include "link/DeviceLink.h"
#include "readout/LogReadout.h"
#include "views/WindowModel.h"

class ArchiveWriter;

// Where a readout's log went beyond the window: its automatic measurement file and the archive. Each
// is tried whatever became of the other.
struct KeptReadout {
  QString measurementFile;           // path of the automatic measurement file written, empty if none
  QString fileError;                 // why it could not be written, empty if it was (or none was due)
  std::optional<int> archivedLines;  // lines the archive gained, once the log was merged into it
  QString archiveError;              // why the merge into the archive failed, empty if it did not
  QString mac;                       // the MAC address the archive keeps the device by, if any
};

// Whether a readout for `env` asks the device for its identity: the archive keeps devices by it, and
// a published readout is named by it.
bool ReadoutWantsIdentity(const Environment& env);

// A whole readout as one call sees it: what the device gave and where its log went.
struct ReadoutReport : ReadoutResult, KeptReadout {};

// One "Lekérdezés": reads the whole log of the device at `host` (ReadLog), then ShowReadout. Socket
// errors propagate as ValdError, with what was shown so far left in the window model; `result` and
// `kept` hold what was done, so that a caller that catches the error still sees it.
void ReadDeviceLog(SharedState& state, WindowModel& view, DeviceLink& link, const Environment& env,
                   const QString& host, ReadoutResult& result, KeptReadout& kept,
                   const std::function<void(int block, int blockCount)>& progress = {},
                   ArchiveWriter* archiveWriter = nullptr);
ReadoutReport ReadDeviceLog(SharedState& state, WindowModel& view, DeviceLink& link, const Environment& env,
                            const QString& host,
                            const std::function<void(int block, int blockCount)>& progress = {});

// Takes the log a readout gave into the state: its records (LogRecords) and their measurement lines
// (LogLines).
void AdoptReadoutLog(SharedState& state, const ReadoutResult& result, const Environment& env);

// What the window's "Data" page shows of a readout besides: its decoded lines in memory order
// (DecodedLines).
void AdoptDecodedLines(SharedState& state, const ReadoutResult& result, const Environment& env);

// Keeps a readout's log (in `state`): the automatic measurement file (unless env.writeMeasurementFiles
// is off) and the archive (ArchiveReadoutLog). Neither failure stops the other; both are reported in
// `kept`, never thrown.
KeptReadout KeepReadout(const SharedState& state, const Environment& env, const ReadoutResult& result,
                        ArchiveWriter* archiveWriter = nullptr);

// What follows a readout that ran to its end (`state` holds the job's state): shows what the readout
// did, and for a known device takes its log (AdoptReadoutLog, AdoptDecodedLines), redraws the views and keeps
// the log (KeepReadout) into `kept`. An unknown device code shows "No device". A view error propagates as
// ValdError, but only after the log was kept: a log the views refuse is still the whole log the device
// gave. A file that could not be written is thrown after the views were drawn and the log archived.
void ShowReadout(SharedState& state, WindowModel& view, const Environment& env, const ReadoutResult& result,
                 KeptReadout& kept, ArchiveWriter* archiveWriter = nullptr);
