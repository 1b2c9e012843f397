#pragma once

#include <QString>

#include "mqtt/MessagePublisher.h"
#include "readout/ReadoutSteps.h"

// What became of a readout's messages for the MQTT broker (vald_read --mqtt).
struct MqttOutcome {
  bool published = false;  // the broker took every message
  QString error;           // why it did not; both empty: there was nothing to publish
};

// Publishes the Home Assistant discovery messages of the device a readout read and the state message
// of its last record. The device is named by its MAC address `mac`, or without one by `address` and
// its device code. Never throws: a failure is the outcome.
MqttOutcome PublishReadout(const MessagePublisher& publisher, const QString& address, const QString& mac,
                           const ReadoutResult& result);
