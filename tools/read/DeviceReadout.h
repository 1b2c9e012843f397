#pragma once

#include <QList>
#include <QString>
#include <functional>
#include <optional>

#include "HostList.h"
#include "MqttPublishing.h"
#include "archive/ArchiveWriter.h"
#include "core/Environment.h"
#include "operations/LogAlarms.h"
#include "watch/LimitRules.h"

// How the readout of one device went: what its result line and its JSON object tell.
struct DeviceOutcome {
  QString host;                           // the entry as given
  QString deviceType;                     // type name of the header's device code, empty if it has none
  QString mac;                            // the MAC address the device gave for the archive, else empty
  std::optional<int> newRecordsArchived;  // records the archive did not hold yet, none when not archived
  int blocksRead = 0;                     // log blocks that answered
  QList<int> missingBlocks;               // log blocks that got no full reply, retry included
  int records = 0;                        // measurement lines of the log
  QString file;                           // the measurement file written, empty if none
  QString suspect;                        // what does not hold together in the log, empty if it does
  int invalidDates = 0;                   // records without a valid date and time (not archived)
  int lostRecords = 0;                    // records left out as they lie on bytes that did not arrive
  QString error;       // why the readout failed or is incomplete ("; " between reasons), empty if it is not
  double seconds = 0;  // how long the readout took
  std::optional<MqttOutcome> mqtt;  // with --mqtt: what became of the readout's messages
  // The alarms of the log, when limits apply to the run; every one new until the archive says otherwise.
  std::optional<LogAlarms> alarms;
  // The whole log arrived and went to its file, the archive and the broker.
  bool Complete() const { return error.isEmpty(); }
};

// Reads one device into a fresh state, as one "Lekérdezés" does, writing its file into the program
// folder of `env` and merging it through `archiveWriter` (null: no archive, or one opened for this
// device) and publishing it through `publisher` (null: no --mqtt). Every failure is part of the
// outcome. `progress` gets each block as it is read and may be called from the thread that runs the
// readout. The log is checked against `limits` when they hold a rule; a rule naming a MAC address has
// the device asked for its identity.
DeviceOutcome ReadOneDevice(const HostEntry& entry, const Environment& env,
                            const std::function<void(int block, int blockCount)>& progress,
                            ArchiveWriter* archiveWriter, const MqttPublisher* publisher = nullptr,
                            const LimitRules& limits = {});
