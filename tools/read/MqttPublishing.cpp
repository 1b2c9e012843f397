#include "MqttPublishing.h"

#include "core/ValdError.h"
#include "operations/ReadoutArchive.h"

MqttOutcome PublishReadout(const MqttPublisher& publisher, const QString& address, const SharedState& state,
                           const ReadoutResult& result) {
  PublishedDevice device;
  device.mac = IdentifyDevice(result.identity, result, state.DeviceCode).mac;
  device.id = MqttDeviceId(device.mac, address, state.DeviceCode);
  device.type = &*result.deviceType;
  const QString& prefix = publisher.Broker().prefix;
  std::vector<MqttMessage> messages = DiscoveryMessages(device, prefix);
  if (std::optional<MqttMessage> last = StateMessage(device, state.LogRecords, prefix)) {
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
