#pragma once

#include <vector>

#include "mqtt/MessagePublisher.h"

// Publishes readouts to an MQTT broker through libmosquitto. Each Publish works on a connection of its
// own, so devices read at once publish at once.
class MqttPublisher : public MessagePublisher {
 public:
  explicit MqttPublisher(BrokerLocation broker);

  // Publishes `messages` retained (QoS 1) and returns once the broker has acknowledged every one, then
  // disconnects cleanly. `lastWill` is the connection's will (retained, QoS 1): the broker publishes it
  // when the connection ends in any other way, the program killed or the network gone.
  // Throws ValdError naming the broker and what went wrong: it cannot be reached, refuses the
  // connection or a message, drops the connection or does not answer within TimeLimitMs.
  void Publish(const std::vector<MqttMessage>& messages, const MqttMessage& lastWill) const override;

  const BrokerLocation& Broker() const override { return broker_; }

  static constexpr int TimeLimitMs = 10000;

 private:
  BrokerLocation broker_;
};
