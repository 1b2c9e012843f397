#pragma once

#include <vector>

#include "mqtt/BrokerLocation.h"
#include "mqtt/HomeAssistantMessages.h"

// Where a run's readout messages go: the MQTT broker of vald_read --mqtt (MqttPublisher). The steps after
// a readout know only this, so that a program that publishes nothing (the window) links no MQTT client.
class MessagePublisher {
 public:
  virtual ~MessagePublisher() = default;

  // Publishes `messages` retained and returns once the broker has taken every one. Should the connection
  // drop before that, the broker publishes `lastWill` retained in their stead. Throws ValdError naming
  // the broker and what went wrong.
  virtual void Publish(const std::vector<MqttMessage>& messages, const MqttMessage& lastWill) const = 0;
  virtual const BrokerLocation& Broker() const = 0;
};
