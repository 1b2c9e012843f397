#include "operations/ReadoutArchive.h"

#include <QRegularExpression>

#include "archive/SiteTime.h"
#include "core/ValdError.h"
#include "operations/Readout.h"

namespace {

constexpr int MacTextLength = 17;

}  // namespace

DeviceIdentity IdentifyDevice(const QByteArray& identityReply, const ReadoutResult& result, int deviceCode) {
  static const QRegularExpression macPattern(QStringLiteral("^[0-9A-Fa-f]{2}(:[0-9A-Fa-f]{2}){5}$"));
  DeviceIdentity device;
  const QString mac = QString::fromLatin1(identityReply.left(MacTextLength)).toUpper();
  if (macPattern.match(mac).hasMatch()) device.mac = mac;
  device.deviceCode = deviceCode;
  device.deviceType = result.deviceType ? QString::fromLatin1(result.deviceType->name) : QString();
  device.chipCode =
      result.rawImage.size() > 1 ? std::optional<int>(uint8_t(result.rawImage[1])) : std::nullopt;
  device.address = result.host;
  device.key = device.mac.isEmpty() ? QStringLiteral("%1/%2").arg(result.host).arg(deviceCode) : device.mac;
  return device;
}

std::optional<QString> KnownMac(const Environment& env, const QString& address, int deviceCode) {
  try {
    const ArchiveLocation location = ParseArchiveLocation(env.archive, env.programFolder);
    if (location.IsOff()) return std::nullopt;
    return ArchiveStore(location, ArchiveAccess::ReadOnly).MacLastSeenAt(address, deviceCode);
  } catch (const ValdError&) {
    // An archive that cannot be read knows nothing here; the merge reports what is wrong with it.
  }
  return std::nullopt;
}

IdentityAsks IdentityAsksFor(const Environment& env) {
  if (!ReadoutWantsIdentity(env)) return {};
  return [env](const QString& host, int deviceCode) { return KnownMac(env, host, deviceCode) ? 1 : 3; };
}

std::unique_ptr<ArchiveWriter> ArchiveWriterFor(const Environment& env) {
  try {
    const ArchiveLocation location = ParseArchiveLocation(env.archive, env.programFolder);
    if (location.IsOff()) return nullptr;
    return std::make_unique<ArchiveWriter>(location, SiteTimeZone(env.timeZone));
  } catch (const ValdError&) {
    return nullptr;
  }
}

void ArchiveReadoutLog(const SharedState& state, const Environment& env, const ReadoutResult& result,
                       KeptReadout& kept, ArchiveWriter* writer) {
  try {
    const ArchiveLocation location = ParseArchiveLocation(env.archive, env.programFolder);
    if (location.IsOff()) return;
    ArchiveReadout readout;
    readout.device = IdentifyDevice(result.identity, result, state.DeviceCode);
    if (readout.device.mac.isEmpty()) {
      if (const std::optional<QString> known = KnownMac(env, result.host, state.DeviceCode)) {
        readout.device.mac = *known;
        readout.device.key = *known;
      }
    }
    kept.mac = readout.device.mac;
    readout.readAt = env.now();
    readout.lines = state.LogLines.Lines();
    // The records as numbers, not the lines read back: LogLines may have changed since the readout.
    if (state.LogRecordsMatch()) readout.log = state.LogRecords;
    readout.decimalSeparatorText = state.DecimalSeparatorText;
    readout.systemDecimalSeparator = env.systemDecimalSeparator;
    readout.image = result.rawImage;
    kept.archivedLines = writer ? writer->Merge(readout).added
                                : ArchiveStore(location, ArchiveAccess::ReadWrite, SiteTimeZone(env.timeZone))
                                      .Merge(readout)
                                      .added;
  } catch (const ValdError& error) {
    kept.archiveError = error.Message();
  }
}
