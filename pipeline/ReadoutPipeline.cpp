#include "pipeline/ReadoutPipeline.h"

#include <future>

#include "archive/SiteTime.h"
#include "core/ValdError.h"
#include "files/MeasurementFile.h"
#include "files/MeasurementLine.h"
#include "pipeline/AlarmKeeping.h"

namespace {

// A readout's merge into the run's archive while it is under way: the writer reads `readout` until the
// merge has ended, so that it is not let go before (whatever ends the readout's steps).
struct ArchivingReadout {
  ArchivingReadout() = default;
  ArchivingReadout(const ArchivingReadout&) = delete;
  ArchivingReadout& operator=(const ArchivingReadout&) = delete;
  ~ArchivingReadout() {
    if (merged.valid()) merged.wait();
  }

  ArchiveReadout readout;
  std::future<MergeResult> merged;  // not valid: no merge was started
  // The log's alarms as the merge's transaction keeps them: which are new holds once it has committed.
  std::optional<LogAlarms> keptAlarms;
};

// Whether the readout's alarms are to be kept in the archive (FindReadoutAlarms).
bool AlarmsToKeep(const ReadoutOutcome& outcome) {
  return outcome.alarms && !outcome.alarms->deviceKey.isEmpty() && !outcome.alarms->alarms.empty();
}

// The archive step, begun: the log's records with their lines and the raw image queued for the run's
// archive, the device known by its identity or, without a MAC address, by the one last seen at its
// address with its code.
void StartArchiving(const ReadoutResult& result, const TextLines& lines, const ReadoutRun& run,
                    ReadoutOutcome& outcome, ArchivingReadout& archiving) {
  if (!run.archiveProblem.isEmpty()) {
    outcome.archiveError = run.archiveProblem;
    return;
  }
  if (!run.archive) return;
  try {
    ArchiveReadout& readout = archiving.readout;
    readout.device = outcome.device;
    if (readout.device.mac.isEmpty()) {
      if (const std::optional<QString> known = run.archive->MacLastSeenAt(result.host, result.DeviceCode()))
        readout.device = KnownByMac(readout.device, *known);
    }
    outcome.mac = readout.device.mac;
    readout.readAt = run.env.now();
    readout.lines = lines.Lines();
    readout.log = &result.log;
    readout.decimalSeparatorText = run.decimalSeparatorText;
    readout.systemDecimalSeparator = run.env.systemDecimalSeparator;
    readout.image = result.rawImage;
    readout.fullReadout = !result.incremental;
    readout.missedBlocks = int(result.blocksWithoutReply.size());
    readout.newestRecordAgeMinutes = outcome.newestRecordAgeMinutes;
    readout.earlierImage = result.earlierImage;
    readout.inEarlierImage = result.inEarlierImage;
    MergeAlongside alongside;
    if (AlarmsToKeep(outcome)) {
      archiving.keptAlarms = *outcome.alarms;
      alongside = [&kept = *archiving.keptAlarms](ArchiveStore& store) { KeepAlarms(kept, store); };
    }
    archiving.merged = run.archive->StartMerge(readout, std::move(alongside));
  } catch (const ValdError& error) {
    outcome.archiveError = error.Message();
  }
  // Alarms that were not kept stay all new.
  if (!archiving.merged.valid() && AlarmsToKeep(outcome)) outcome.alarmsError = outcome.archiveError;
}

// The archive step, ended: what the merge gave, and which of the alarms it kept are new.
void FinishArchiving(ArchivingReadout& archiving, ReadoutOutcome& outcome) {
  if (!archiving.merged.valid()) return;
  try {
    const MergeResult merged = archiving.merged.get();
    outcome.archivedLines = merged.added;
    if (!merged.brokenImage.isEmpty()) {
      outcome.archiveWarning =
          QStringLiteral(
              "%1: this readout's image is kept whole; vald_archive check names every broken image, "
              "vald_archive repair-images mends them")
              .arg(merged.brokenImage);
    }
    outcome.keepsLogging = merged.hadReadout && merged.added > 0;
    outcome.alarmsError = merged.alongsideError;
  } catch (const ValdError& error) {
    outcome.archiveError = error.Message();
    if (archiving.keptAlarms) outcome.alarmsError = error.Message();
  }
  if (archiving.keptAlarms && outcome.alarmsError.isEmpty()) outcome.alarms = std::move(archiving.keptAlarms);
}

// The alarm step: the log against the run's limits. With an archive, the alarms are kept under the
// device's key in the transaction of the log's merge, so that only those it did not hold yet stay new.
void FindReadoutAlarms(const ReadoutResult& result, const ReadoutRun& run, ReadoutOutcome& outcome) {
  if (run.limits.IsEmpty()) return;
  const DeviceType& type = *FindDeviceType(result.DeviceCode());
  outcome.alarms =
      FindLogAlarms(result.log, type, run.limits,
                    {outcome.device.mac, result.host, QString::fromLatin1(type.name), result.port});
  outcome.alarms->zone = run.zone;
  if (run.archive) outcome.alarms->deviceKey = outcome.device.key;
}

// Two devices answering one MAC address with different device codes are two devices: the one that is
// not the archived one is kept as "MAC/code", and said so.
void SetApartFromAnotherType(const ReadoutResult& result, const ReadoutRun& run, ReadoutOutcome& outcome) {
  DeviceIdentity& device = outcome.device;
  if (!run.archive || device.mac.isEmpty()) return;
  std::optional<ArchivedDevice> archived;
  try {
    run.archive->Ask([&](ArchiveStore& store) { archived = store.DeviceRow(device.mac); });
  } catch (const ValdError&) {
    return;  // the merge reports what is wrong with the archive
  }
  if (!archived || archived->deviceCode == result.DeviceCode()) return;
  device.key = QStringLiteral("%1/%2").arg(device.mac).arg(result.DeviceCode());
  outcome.deviceWarning =
      QStringLiteral("%1 is archived as a %2 (device code %3); this %4 (device code %5) is kept as %6")
          .arg(device.mac, archived->deviceType)
          .arg(archived->deviceCode)
          .arg(device.deviceType)
          .arg(result.DeviceCode())
          .arg(device.key);
}

// The MQTT step: the device's discovery, its last record and its availability for the run's broker.
void PublishReadoutLog(const ReadoutResult& result, const ReadoutRun& run,
                       const ReadoutDestination& destination, ReadoutOutcome& outcome) {
  if (!run.publisher) return;
  PublishedReadout published;
  published.address = destination.name;
  // A device kept apart from another of its MAC address is not to be taken for that one.
  if (outcome.deviceWarning.isEmpty()) published.mac = outcome.device.mac;
  published.openAlarm = outcome.alarms && HasOpenAlarm(*outcome.alarms);
  published.expireAfterSeconds = run.mqttExpireSeconds;
  try {
    published.zone = SiteTimeZone(run.env.timeZone);
  } catch (const ValdError& error) {
    outcome.mqtt = MqttOutcome{false, error.Message()};
    return;
  }
  outcome.mqtt = PublishReadout(*run.publisher, result, published);
}

}  // namespace

ReadoutOutcome KeepReadout(const ReadoutResult& result, const ReadoutRun& run,
                           const ReadoutDestination& destination) {
  ReadoutOutcome outcome;
  outcome.device = IdentifyDevice(result);
  outcome.newestRecordAgeMinutes = NewestRecordAgeMinutes(result.log, run.env.now(), run.zone);
  SetApartFromAnotherType(result, run, outcome);
  const TextLines lines =
      FormatMeasurementLines(result.log.records, result.log.values,
                             SeparatorsOf(run.decimalSeparatorText, run.env.systemDecimalSeparator));
  FindReadoutAlarms(result, run, outcome);
  // The file is written while the archive merges: its wait for the disk need not add to the merge's.
  ArchivingReadout archiving;
  StartArchiving(result, lines, run, outcome, archiving);
  if (run.env.writeMeasurementFiles) {
    Environment env = run.env;
    env.programFolder = destination.folder;
    try {
      outcome.measurementFile = SaveAutomaticMeasurementFile(lines, result.DeviceCode(), env);
    } catch (const ValdError& error) {
      outcome.fileError = error.Message();
    }
  }
  FinishArchiving(archiving, outcome);
  PublishReadoutLog(result, run, destination, outcome);
  return outcome;
}
