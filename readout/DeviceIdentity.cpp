#include "readout/DeviceIdentity.h"

#include <QRegularExpression>

#include "core/Win1250.h"

namespace {

constexpr int MacTextLength = 17;

// The columns of an identity reply after its MAC address, as the registration list heads them.
constexpr int SerialField = 1;
constexpr int VersionField = 4;

// Field `index` of the reply's ";"-separated fields, without surrounding blanks; empty when it has none.
QString IdentityField(const QList<QByteArray>& fields, int index) {
  return index < fields.size() ? FromWin1250(fields[index].trimmed()) : QString();
}

const QRegularExpression& MacPattern() {
  static const QRegularExpression pattern(QStringLiteral("^[0-9A-Fa-f]{2}(:[0-9A-Fa-f]{2}){5}$"));
  return pattern;
}

}  // namespace

DeviceIdentity IdentifyDevice(const ReadoutResult& result) {
  DeviceIdentity device;
  const QString mac = QString::fromLatin1(result.identity.left(MacTextLength)).toUpper();
  // An all-zero or broadcast address is what a device without one of its own answers: no identity.
  const bool noAddress =
      mac == QLatin1String("00:00:00:00:00:00") || mac == QLatin1String("FF:FF:FF:FF:FF:FF");
  if (MacPattern().match(mac).hasMatch() && !noAddress) device.mac = mac;
  device.deviceCode = result.DeviceCode();
  device.deviceType = result.deviceType ? QString::fromLatin1(result.deviceType->name) : QString();
  device.chipCode =
      result.rawImage.size() > 1 ? std::optional<int>(uint8_t(result.rawImage[1])) : std::nullopt;
  device.address = result.host;
  device.key =
      device.mac.isEmpty() ? QStringLiteral("%1/%2").arg(result.host).arg(device.deviceCode) : device.mac;
  return device;
}

IdentityDetails ReadIdentityDetails(const QByteArray& reply) {
  const QList<QByteArray> fields = reply.split(';');
  if (!MacPattern().match(QString::fromLatin1(fields[0])).hasMatch()) return {};
  return {IdentityField(fields, SerialField), IdentityField(fields, VersionField)};
}

DeviceIdentity KnownByMac(DeviceIdentity device, const QString& mac) {
  device.mac = mac;
  device.key = mac;
  return device;
}
