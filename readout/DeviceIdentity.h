#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

#include "readout/ReadoutSteps.h"

// Who a readout came from. A device that answers the identity exchange is known by its MAC address;
// one that does not by its address and device code ("192.168.1.100/2").
struct DeviceIdentity {
  QString key;
  QString mac;  // empty when the device did not answer
  int deviceCode = 0;
  QString deviceType;
  std::optional<int> chipCode;  // nothing for an imported file
  QString address;              // empty for an imported file
};

// What an identity reply tells besides the MAC address.
struct IdentityDetails {
  QString serial;   // the serial number, empty when the reply gives none
  QString version;  // the firmware version, empty when the reply gives none
};

// The identity of the device a readout read: the identity reply's first 17 characters when they are a
// MAC address (not all zeros nor the broadcast address), otherwise the device's address and DeviceCode.
DeviceIdentity IdentifyDevice(const ReadoutResult& result);

// The serial number and the firmware version of an identity reply laid out as the registration list's
// columns ("MAC;serial;reg number;device;version;config"): its second and fifth field, when it starts
// with a MAC address as a field of its own.
IdentityDetails ReadIdentityDetails(const QByteArray& reply);

// The same device known by the MAC address `mac` that an earlier readout at its address gave.
DeviceIdentity KnownByMac(DeviceIdentity device, const QString& mac);
