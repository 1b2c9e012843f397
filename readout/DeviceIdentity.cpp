#include "readout/DeviceIdentity.h"

#include <QRegularExpression>

namespace {

constexpr int MacTextLength = 17;

}  // namespace

DeviceIdentity IdentifyDevice(const ReadoutResult& result) {
  static const QRegularExpression macPattern(QStringLiteral("^[0-9A-Fa-f]{2}(:[0-9A-Fa-f]{2}){5}$"));
  DeviceIdentity device;
  const QString mac = QString::fromLatin1(result.identity.left(MacTextLength)).toUpper();
  // An all-zero or broadcast address is what a device without one of its own answers: no identity.
  const bool noAddress =
      mac == QLatin1String("00:00:00:00:00:00") || mac == QLatin1String("FF:FF:FF:FF:FF:FF");
  if (macPattern.match(mac).hasMatch() && !noAddress) device.mac = mac;
  device.deviceCode = result.DeviceCode();
  device.deviceType = result.deviceType ? QString::fromLatin1(result.deviceType->name) : QString();
  device.chipCode =
      result.rawImage.size() > 1 ? std::optional<int>(uint8_t(result.rawImage[1])) : std::nullopt;
  device.address = result.host;
  device.key =
      device.mac.isEmpty() ? QStringLiteral("%1/%2").arg(result.host).arg(device.deviceCode) : device.mac;
  return device;
}

DeviceIdentity KnownByMac(DeviceIdentity device, const QString& mac) {
  device.mac = mac;
  device.key = mac;
  return device;
}
