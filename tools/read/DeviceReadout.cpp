#include "DeviceReadout.h"

#include <QElapsedTimer>
#include <optional>

#include "core/SharedState.h"
#include "core/ValdError.h"
#include "operations/IncompleteLog.h"
#include "operations/Readout.h"
#include "operations/ReadoutArchive.h"
#include "views/ChartPopulation.h"

DeviceOutcome ReadOneDevice(const HostEntry& entry, const Environment& env,
                            const std::function<void(int block, int blockCount)>& progress,
                            ArchiveWriter* archiveWriter, const MqttPublisher* publisher,
                            const LimitRules& limits) {
  QElapsedTimer clock;
  clock.start();
  DeviceOutcome outcome;
  outcome.host = entry.given;
  if (publisher) outcome.mqtt.emplace();
  SharedState state;
  // One separator for every value, so that the file opens again on a system with that separator.
  state.DecimalSeparatorText = QByteArray(1, env.systemDecimalSeparator);
  DeviceLink link;
  link.port = entry.port;
  ReadoutResult result;
  KeptReadout kept;
  // Blocks asked for so far: a socket error can end the readout before the last one.
  int blocksAsked = 0;
  // What keeps the readout from being complete, in the order it happened.
  QStringList problems;
  // Who the device says it is (its MAC address, when it was asked), worked out once for the alarms and
  // the outcome.
  std::optional<DeviceIdentity> identity;
  try {
    const bool archived = ReadoutWantsIdentity(env);
    IdentityAsks identityAsks = IdentityAsksFor(env);
    // A limit rule naming a MAC address needs the device's identity even without an archive.
    if (!identityAsks && limits.NameMacs()) identityAsks = [](const QString&, int) { return 1; };
    ReadLog(state, link, identityAsks, entry.host, result, [&](int block, int blockCount) {
      blocksAsked = block + 1;
      if (progress) progress(block, blockCount);
    });
    if (result.deviceFound()) {
      identity = IdentifyDevice(result.identity, result, state.DeviceCode);
      AdoptReadoutLog(state, result, env);
      kept = KeepReadout(state, env, result, archiveWriter);
      if (!kept.fileError.isEmpty()) problems << kept.fileError;
      if (publisher) outcome.mqtt = PublishReadout(*publisher, entry.folder, state, result);
      if (!limits.IsEmpty()) {
        const DeviceType& type = *FindDeviceType(result.deviceType->code);
        outcome.alarms = FindLogAlarms(state.LogRecords, type, limits,
                                       {identity->mac, entry.host, QString::fromLatin1(type.name)});
        if (identity->mac.isEmpty()) outcome.alarms->device = entry.given;
        if (archived) outcome.alarms->deviceKey = identity->key;
      }
      // A log the window's views would refuse is reported, after its file was written and archived.
      CheckLogIsChartable(state, env.systemDecimalSeparator);
    } else {
      // A header that came names a device this program does not know; without one there is no device.
      problems << (result.headerAnswered ? QStringLiteral("unknown device code %1").arg(state.DeviceCode)
                                         : QStringLiteral("No device"));
    }
  } catch (const ValdError& error) {
    problems << error.Message();
  }
  if (!result.blocksWithoutReply.isEmpty()) {
    problems.prepend(
        QStringLiteral("incomplete log: %1")
            .arg(MissedBlocksText(result.blocksWithoutReply, result.lostRecords, CommandLineWording())));
  }
  outcome.suspect = SuspectLogText(result.integrity, CommandLineWording());
  outcome.invalidDates = result.integrity.invalidDates;
  outcome.lostRecords = result.lostRecords;
  if (!outcome.suspect.isEmpty()) problems << QStringLiteral("suspect log: %1").arg(outcome.suspect);
  if (const QString dates = InvalidDatesText(result.integrity, CommandLineWording()); !dates.isEmpty())
    problems << dates;
  if (!kept.archiveError.isEmpty()) problems << QStringLiteral("not archived: %1").arg(kept.archiveError);
  if (outcome.mqtt && !outcome.mqtt->error.isEmpty()) {
    problems << QStringLiteral("not published to MQTT: %1").arg(outcome.mqtt->error);
  }
  outcome.error = problems.join(QStringLiteral("; "));
  if (result.deviceFound()) outcome.deviceType = QString::fromLatin1(result.deviceType->name);
  // The MAC address the device gave (asked for MQTT or limits as well), or the one the archive knows it by.
  const QString givenMac = identity ? identity->mac : QString();
  outcome.mac = givenMac.isEmpty() ? kept.mac : givenMac;
  outcome.newRecordsArchived = kept.archivedLines;
  for (const MissedBlock& missed : result.blocksWithoutReply) outcome.missingBlocks.append(missed.block);
  outcome.blocksRead = blocksAsked - int(result.blocksWithoutReply.size());
  outcome.records = state.LogLines.Count();
  outcome.file = kept.measurementFile;
  outcome.seconds = double(clock.elapsed()) / 1000;
  return outcome;
}
