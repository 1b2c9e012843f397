#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "HostList.h"
#include "pipeline/DeviceWatching.h"
#include "pipeline/ReadoutPipeline.h"
#include "readout/LogReadout.h"

// How the readout of one device went: what its result line and its JSON object tell.
struct DeviceOutcome {
  QString host;                           // the entry as given
  QString deviceType;                     // type name of the header's device code, empty if it has none
  QString mac;                            // the MAC address the device gave for the archive, else empty
  std::optional<int> newRecordsArchived;  // records the archive did not hold yet, none when not archived
  int blocksRead = 0;                     // log blocks that answered
  bool incremental = false;               // only the blocks with new records were asked for
  QString fullReason;                     // why a device the archive knows was read in full
  int blockRequests = 0;                  // log block requests made
  QList<int> missingBlocks;               // log blocks that got no full reply, retry included
  int records = 0;                        // measurement lines of the log
  QString file;                           // the measurement file written, empty if none
  QString suspect;                        // what does not hold together in the log, empty if it does
  int invalidDates = 0;                   // records without a valid date and time (not archived)
  int lostRecords = 0;                    // records left out as they lie on bytes that did not arrive
  QString error;       // why the readout failed or is incomplete ("; " between reasons), empty if it is not
  double seconds = 0;  // how long the readout took
  std::optional<MqttOutcome> mqtt;  // with --mqtt: what became of the readout's messages
  // The alarms of the log, when limits apply to the run; every one new that the archive did not hold.
  std::optional<LogAlarms> alarms;
  QString alarmsError;  // why the archive could not keep the alarms, empty if it did
  // How far the newest record lies behind this machine's clock, in minutes; none without one.
  std::optional<double> newestRecordAgeMinutes;
  // When the run watches the devices: the device's silent or clock alarm, open or just ended.
  std::vector<DeviceAlarm> deviceAlarms;
  QString warning;  // what the run should know that keeps nothing from being read
  // The whole log arrived and went to its file, the archive and the broker.
  bool Complete() const { return error.isEmpty(); }
  // How the device's alarms name it: as its limits' alarms do, else by its MAC address or host.
  QString AlarmDevice() const {
    if (alarms) return alarms->device;
    return mac.isEmpty() ? host : mac;
  }
};

// The readout of one device of `run`, not started yet: its whole log as one "Lekérdezés" reads it, or only
// what is new when the run's archive holds an earlier image of the device, the log's decoding left to
// KeepDeviceReadout. `progress` gets each block as it is read.
std::unique_ptr<LogReadout> PrepareDeviceReadout(
    const HostEntry& entry, const ReadoutRun& run,
    const std::function<void(int block, int blockCount)>& progress);

// What becomes of a device's finished readout (`readError`: the error that ended it half-way): its log
// decoded and kept as the run says (KeepReadout), its file written into `folder`. Every failure is part
// of the outcome; its seconds are those of `clock`, started with the readout.
DeviceOutcome KeepDeviceReadout(const HostEntry& entry, const ReadoutRun& run, const QString& folder,
                                ReadoutResult& result, QString readError, const QElapsedTimer& clock);
