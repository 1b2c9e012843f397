#pragma once

#include <QString>

#include "archive/ArchiveStore.h"
#include "core/Environment.h"
#include "core/SharedState.h"
#include "pipeline/ReadoutPipeline.h"
#include "settings/ReadoutSettings.h"
#include "views/WindowModel.h"
#include "watch/LogAlarms.h"

// The device whose log the window shows, as far as the window knows it.
struct ShownDevice {
  DeviceNames names;
  QString archiveKey;  // how the archive knows the device; empty: its alarms are not kept
};

// A readout's device: its MAC address when it told it, its host and type, and for an archived readout
// its archive key.
ShownDevice ShownDeviceOfReadout(const ReadoutOutcome& outcome, const ReadoutResult& result,
                                 const ReadoutRun& run);
// An opened file's device, known by its type only.
ShownDevice ShownDeviceOfFile(int deviceCode);
// An archived device whose history is shown.
ShownDevice ShownDeviceOfHistory(const ArchivedDevice& device);

// What checking the shown log against the limits found.
struct LogWatch {
  QString warning;  // the limits file could not be read, or the archive not keep the alarms
  QString message;  // the new alarms under a heading, one a line; empty: none
  LogAlarms alarms;
};

// The window's limits: its limits file (ReadoutSettings::limitsFile), or why it cannot be read.
struct WindowLimits {
  LimitRules rules;
  QString warning;  // "A határértékek nem olvashatók: ..."; empty when the file was read (or is not there)
};
WindowLimits LoadWindowLimits(const ReadoutSettings& settings);

// After a file open, a history or a change of the limits: checks the shown log (LogRecords) against the
// window's limits file (ReadoutSettings::limitsFile), draws the limits on the charts (SetLimitLines) and says
// on status panel 4 how many alarms the log has ("Riasztás: N"; empty without limits). The alarms of a device
// the archive knows are kept there (when env.archive names one), so that the message names only new ones;
// every other log's alarms are all new. Never throws: what fails is in the warning.
LogWatch WatchShownLog(const SharedState& state, WindowModel& view, const Environment& env,
                       const ShownDevice& device);

// After a readout: shows as WatchShownLog does the alarms that the readout's run found and kept
// (KeepReadout), with `limitsWarning` when the run's limits could not be read.
LogWatch WatchReadout(WindowModel& view, const ReadoutRun& run, const QString& limitsWarning,
                      const ReadoutOutcome& outcome, const ShownDevice& device, int deviceCode);
