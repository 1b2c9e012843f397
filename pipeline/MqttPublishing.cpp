#include "pipeline/MqttPublishing.h"

#include "core/ValdError.h"

MqttOutcome PublishReadout(const MessagePublisher& publisher, const QString& address, const QString& mac,
                           const ReadoutResult& result) {
  PublishedDevice device;
  device.mac = mac;
  device.id = MqttDeviceId(device.mac, address, result.DeviceCode());
  device.type = &*result.deviceType;
  const QString& prefix = publisher.Broker().prefix;
  std::vector<MqttMessage> messages = DiscoveryMessages(device, prefix);
  if (std::optional<MqttMessage> last = StateMessage(device, result.log, prefix)) {
    messages.push_back(std::move(*last));
  }
  MqttOutcome outcome;
  try {
    publisher.Publish(messages);
    outcome.published = true;
  } catch (const ValdError& error) {
    outcome.error = error.Message();
  }
  return outcome;
}
