#pragma once

#include <vector>

#include "mqtt/MessagePublisher.h"

// Publishes readouts to an MQTT broker through libmosquitto. Each Publish works on a connection of its
// own, so devices read at once publish at once.
class MqttPublisher : public MessagePublisher {
 public:
  explicit MqttPublisher(BrokerLocation broker);

  // Publishes `messages` retained (QoS 1) and returns once the broker has acknowledged every one.
  // Throws ValdError naming the broker and what went wrong: it cannot be reached, refuses the
  // connection or a message, drops the connection or does not answer within TimeLimitMs.
  void Publish(const std::vector<MqttMessage>& messages) const override;

  const BrokerLocation& Broker() const override { return broker_; }

  static constexpr int TimeLimitMs = 10000;

 private:
  BrokerLocation broker_;
};
