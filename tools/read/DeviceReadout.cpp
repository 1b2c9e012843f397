#include "DeviceReadout.h"

#include <QElapsedTimer>

#include "core/SharedState.h"
#include "core/ValdError.h"
#include "operations/Readout.h"
#include "readout/IncompleteLog.h"
#include "views/ChartPopulation.h"

DeviceOutcome ReadOneDevice(const HostEntry& entry, const ReadoutRun& run, const QString& folder,
                            const std::function<void(int block, int blockCount)>& progress) {
  QElapsedTimer clock;
  clock.start();
  DeviceOutcome outcome;
  outcome.host = entry.given;
  SharedState state;
  state.DecimalSeparatorText = run.decimalSeparatorText;
  DeviceLink link;
  link.port = entry.port;
  ReadoutResult result;
  ReadoutOutcome kept;
  // Blocks asked for so far: a socket error can end the readout before the last one.
  int blocksAsked = 0;
  // What keeps the readout from being complete, in the order it happened.
  QStringList problems;
  try {
    ReadLog(
        state, link, IdentityAsksFor(run), entry.host, result,
        [&](int block, int blockCount) {
          blocksAsked = block + 1;
          if (progress) progress(block, blockCount);
        },
        EarlierImagesFor(run));
    if (result.deviceFound()) {
      kept = KeepReadout(result, run, {folder, entry.folder});
      if (!kept.fileError.isEmpty()) problems << kept.fileError;
      if (kept.mqtt) outcome.mqtt = kept.mqtt;
      outcome.alarms = kept.alarms;
      outcome.alarmsError = kept.alarmsError;
      outcome.warning = kept.deviceWarning;
      outcome.newestRecordAgeMinutes = kept.newestRecordAgeMinutes;
      if (outcome.alarms && kept.device.mac.isEmpty()) outcome.alarms->device = entry.given;
      // A log the window's views would refuse is reported, after its file was written and archived.
      CheckLogIsChartable(result.log, result.DeviceCode(), run.decimalSeparatorText,
                          run.env.systemDecimalSeparator);
    } else {
      // A header that came names a device this program does not know; without one there is no device.
      problems << (result.headerAnswered ? QStringLiteral("unknown device code %1").arg(result.DeviceCode())
                                         : QStringLiteral("No device"));
    }
  } catch (const ValdError& error) {
    problems << error.Message();
  }
  // Nothing came that could be kept: the home system is told that the device at the address is offline.
  if (run.publisher && !kept.mqtt) outcome.mqtt = PublishNoAnswer(*run.publisher, entry.folder);
  if (!result.blocksWithoutReply.isEmpty()) {
    problems.prepend(
        QStringLiteral("incomplete log: %1")
            .arg(MissedBlocksText(result.blocksWithoutReply, result.lostRecords, {.joinRuns = true})));
  }
  outcome.suspect = SuspectLogText(result.integrity);
  outcome.invalidDates = result.integrity.invalidDates;
  outcome.lostRecords = result.lostRecords;
  if (!outcome.suspect.isEmpty()) problems << QStringLiteral("suspect log: %1").arg(outcome.suspect);
  if (const QString dates = InvalidDatesText(result.integrity); !dates.isEmpty()) problems << dates;
  if (!kept.archiveError.isEmpty()) problems << QStringLiteral("not archived: %1").arg(kept.archiveError);
  if (outcome.mqtt && !outcome.mqtt->error.isEmpty()) {
    problems << QStringLiteral("not published to MQTT: %1").arg(outcome.mqtt->error);
  }
  // Silent and clock alarms are kept under the device as the run names it: one that never answered
  // has no other name.
  try {
    outcome.deviceAlarms = WatchDevice(run, entry.given,
                                       {result.headerAnswered, kept.newestRecordAgeMinutes,
                                        LoggingIntervalMinutes(result.log), kept.keepsLogging});
  } catch (const ValdError& error) {
    outcome.alarmsError = error.Message();
  }
  outcome.error = problems.join(QStringLiteral("; "));
  if (result.deviceFound()) outcome.deviceType = QString::fromLatin1(result.deviceType->name);
  // The MAC address the device gave (asked for MQTT or limits as well), or the one the archive knows it by.
  outcome.mac = kept.device.mac.isEmpty() ? kept.mac : kept.device.mac;
  outcome.newRecordsArchived = kept.archivedLines;
  for (const MissedBlock& missed : result.blocksWithoutReply) outcome.missingBlocks.append(missed.block);
  outcome.blocksRead =
      result.incremental ? result.blockRequests : blocksAsked - int(result.blocksWithoutReply.size());
  outcome.incremental = result.incremental;
  outcome.fullReason = result.fullReason;
  outcome.blockRequests = result.blockRequests;
  outcome.records = result.log.Count();
  outcome.file = kept.measurementFile;
  outcome.seconds = double(clock.elapsed()) / 1000;
  return outcome;
}
