#pragma once

#include <QString>
#include <optional>

#include "pipeline/MqttPublishing.h"
#include "pipeline/ReadoutRun.h"
#include "readout/DeviceIdentity.h"
#include "readout/ReadoutSteps.h"
#include "watch/LogAlarms.h"

// Where one readout's log goes within its run.
struct ReadoutDestination {
  QString folder;  // the folder of its measurement file: the run's program folder or one of its own
  QString name;    // how the broker names the device's address, and the device when it gave no MAC address
};

// What became of a readout's log after the readout: each step is tried whatever became of the ones
// before, and what failed is said here, never thrown.
struct ReadoutOutcome {
  DeviceIdentity device;             // who the device said it is (IdentifyDevice)
  QString measurementFile;           // path of the automatic measurement file written, empty if none
  QString fileError;                 // why it could not be written, empty if it was (or none was due)
  std::optional<int> archivedLines;  // records the archive gained, once the log was merged into it
  QString archiveError;              // why the merge into the archive failed, empty if it did not
  QString mac;                       // the MAC address the archive keeps the device by, if any
  std::optional<LogAlarms> alarms;   // when the run has limits: the log's alarms, new ones marked
  QString alarmsError;               // why the archive could not keep the alarms, empty if it did
  std::optional<MqttOutcome> mqtt;   // when the run publishes: what became of the messages
  QString deviceWarning;   // the MAC address is archived for a device of another code: this one is kept apart
  QString archiveWarning;  // the archive kept the readout, but found the device's earlier image broken
  // How far the newest record lies behind the run's clock, in the devices' time zone; none without one.
  std::optional<double> newestRecordAgeMinutes;
  bool keepsLogging = false;  // the archive had a readout of the device before, and gained records now
};

// The steps after the readout of a known device (result.deviceFound()), the same for the window,
// vald_read, the benchmarks and the tests: the device's identity, the automatic measurement file
// (unless run.env.writeMeasurementFiles is off), the merge into the run's archive in one transaction
// (the device known by the MAC address last seen at its address when it gave none), the alarms of the
// run's limits kept in the archive in the merge's transaction, and the messages for the run's broker. The
// file is written while the archive merges.
ReadoutOutcome KeepReadout(const ReadoutResult& result, const ReadoutRun& run,
                           const ReadoutDestination& destination);
