#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "core/LogRecord.h"
#include "decode/DeviceCatalogue.h"

// One message for the broker. Every message of a readout is retained, so that a home system that
// starts or subscribes later still finds the sensors and their last values.
struct MqttMessage {
  QByteArray topic;
  QByteArray payload;
};

// A device as its messages name it.
struct PublishedDevice {
  QString id;       // see MqttDeviceId
  QString address;  // the host it was read at, which names its availability topic
  QString mac;      // "00:1A:2B:3C:4D:5E"; empty when the device gave none
  QString serial;   // the serial number its identity reply gave; empty when it gave none
  QString version;  // the firmware version its identity reply gave; empty when it gave none
  const DeviceType* type = nullptr;
};

// How long Home Assistant shows a sensor's value without a new state message, unless told otherwise:
// two hours, so that a device read every hour may miss one readout.
inline constexpr int DefaultExpireAfterSeconds = 7200;

// The name of a device in topics and unique ids: its MAC address without colons in lower case, or
// without one its address and device code; every character but a letter or a digit becomes "_".
QString MqttDeviceId(const QString& mac, const QString& address, int deviceCode);

// "<prefix>/<device id>/state"
QByteArray StateTopic(const QString& prefix, const QString& deviceId);

// "<prefix>/<address>/availability", every character of the address but a letter or a digit as "_".
// The topic is the address's rather than the device's, so that a device that does not answer, whose MAC
// address and device code nobody then knows, can still be said to be offline.
QByteArray AvailabilityTopic(const QString& prefix, const QString& address);

// "online" or "offline" on the availability topic of `address`.
MqttMessage AvailabilityMessage(const QString& prefix, const QString& address, bool online);

// Home Assistant's discovery messages: one sensor per value column, on
// "homeassistant/sensor/<device id>_<quantity>_<n>/config" (n counts the device's columns of the
// quantity from 1): its name, unique id, state topic and value template, the device class and unit the
// home system knows for the quantity, "state_class" "measurement" for every quantity with a unit; and
// one binary sensor of the class "problem" on "homeassistant/binary_sensor/<device id>_problem/config",
// on while the device has an open alarm. Each names the device (the MAC in its identifiers, the serial
// number and firmware version when the device gave them), the availability topic of its address and,
// unless `expireAfterSeconds` is 0, how long its value holds without a new state message.
std::vector<MqttMessage> DiscoveryMessages(const PublishedDevice& device, const QString& prefix,
                                           int expireAfterSeconds);

// The offset from UTC, in seconds, of a local time stamp at the device's site.
using UtcOffsetOf = std::function<int(const RecordTime&)>;

// The state message of the last whole record of `log` (in time order): "time" (the device's local time
// with its offset from UTC, "2023-12-03T14:05:00+01:00"), each value in its quantity's unit under
// "<quantity>_<n>", null where the device gave none, and "problem": whether the device has an open
// alarm. Nothing when the log holds no whole record.
std::optional<MqttMessage> StateMessage(const PublishedDevice& device, const RecordLog& log,
                                        const QString& prefix, const UtcOffsetOf& utcOffset, bool openAlarm);
