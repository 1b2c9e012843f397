#include "DeviceReadout.h"

#include <algorithm>

#include "core/ValdError.h"
#include "decode/LogDecoding.h"
#include "operations/Readout.h"
#include "readout/IncompleteLog.h"
#include "views/ChartPopulation.h"

std::unique_ptr<LogReadout> PrepareDeviceReadout(
    const HostEntry& entry, const ReadoutRun& run,
    const std::function<void(int block, int blockCount)>& progress) {
  DeviceLink link;
  link.host = entry.host;
  link.port = entry.port;
  auto readout = std::make_unique<LogReadout>(link, IdentityAsksFor(run));
  readout->ReadOnlyWhatIsNew(EarlierImagesFor(run));
  readout->LeaveDecoding();
  if (progress) QObject::connect(readout.get(), &LogReadout::Progress, progress);
  return readout;
}

DeviceOutcome KeepDeviceReadout(const HostEntry& entry, const ReadoutRun& run, const QString& folder,
                                ReadoutResult& result, QString readError, const QElapsedTimer& clock) {
  if (result.decodingLeft) {
    try {
      DecodeReadoutLog(result);
    } catch (const ValdError& error) {
      readError = error.Message();
    }
  }
  DeviceOutcome outcome;
  outcome.host = entry.given;
  ReadoutOutcome kept;
  // What keeps the readout from being complete, in the order it happened.
  QStringList problems;
  if (!readError.isEmpty()) {
    problems << readError;
  } else if (result.deviceFound()) {
    try {
      kept = KeepReadout(result, run, {folder, entry.folder});
      if (!kept.fileError.isEmpty()) problems << kept.fileError;
      if (kept.mqtt) outcome.mqtt = kept.mqtt;
      outcome.alarms = kept.alarms;
      outcome.alarmsError = kept.alarmsError;
      QStringList warnings{kept.deviceWarning, kept.archiveWarning};
      warnings.removeAll(QString());
      outcome.warning = warnings.join(QStringLiteral("; "));
      outcome.newestRecordAgeMinutes = kept.newestRecordAgeMinutes;
      if (outcome.alarms && kept.device.mac.isEmpty()) outcome.alarms->device = entry.given;
      // A log the window's views would refuse is reported, after its file was written and archived.
      CheckLogIsChartable(result.log, result.DeviceCode(), run.decimalSeparatorText,
                          run.env.systemDecimalSeparator);
    } catch (const ValdError& error) {
      problems << error.Message();
    }
  } else {
    // A header that came names a device this program does not know; without one there is no device.
    problems << (result.headerAnswered ? QStringLiteral("unknown device code %1").arg(result.DeviceCode())
                                       : QStringLiteral("No device"));
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
  // A full readout's image holds the header and every block asked for: a socket error can end it before
  // the last one.
  const int blocksAsked = std::max(0, int(result.rawImage.size() / LogBlockSize) - 1);
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
