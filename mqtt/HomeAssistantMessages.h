#pragma once

#include <QByteArray>
#include <QString>
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
  QString id;   // see MqttDeviceId
  QString mac;  // "00:1A:2B:3C:4D:5E"; empty when the device gave none
  const DeviceType* type = nullptr;
};

// The name of a device in topics and unique ids: its MAC address without colons in lower case, or
// without one its address and device code; every character but a letter or a digit becomes "_".
QString MqttDeviceId(const QString& mac, const QString& address, int deviceCode);

// "<prefix>/<device id>/state"
QByteArray StateTopic(const QString& prefix, const QString& deviceId);

// Home Assistant's discovery messages, one sensor per value column, on
// "homeassistant/sensor/<device id>_<quantity>_<n>/config" (n counts the device's columns of the
// quantity from 1): its name, unique id, state topic and value
// template, the device class and unit the home system knows for the quantity, "state_class"
// "measurement" for every quantity with a unit, and the device (the MAC in its identifiers).
std::vector<MqttMessage> DiscoveryMessages(const PublishedDevice& device, const QString& prefix);

// The state message of the last whole record of `log` (in time order): "time" ("2023-12-03T14:05", the
// device's local time) and each value in its quantity's unit under "<quantity>_<n>", null where the
// device gave none. Nothing when the log holds no whole record.
std::optional<MqttMessage> StateMessage(const PublishedDevice& device, const RecordLog& log,
                                        const QString& prefix);
