#include "pipeline/MqttPublishing.h"

#include <algorithm>

#include "archive/SiteTime.h"
#include "core/ValdError.h"
#include "readout/DeviceIdentity.h"

namespace {

MqttOutcome Publish(const MessagePublisher& publisher, const std::vector<MqttMessage>& messages,
                    const QString& address) {
  MqttOutcome outcome;
  try {
    publisher.Publish(messages, AvailabilityMessage(publisher.Broker().prefix, address, false));
    outcome.published = true;
  } catch (const ValdError& error) {
    outcome.error = error.Message();
  }
  return outcome;
}

}  // namespace

MqttOutcome PublishReadout(const MessagePublisher& publisher, const ReadoutResult& result,
                           const PublishedReadout& readout) {
  PublishedDevice device;
  device.mac = readout.mac;
  device.id = MqttDeviceId(device.mac, readout.address, result.DeviceCode());
  device.address = readout.address;
  const IdentityDetails details = ReadIdentityDetails(result.identity);
  device.serial = details.serial;
  device.version = details.version;
  device.type = &*result.deviceType;
  const QString& prefix = publisher.Broker().prefix;
  std::vector<MqttMessage> messages = DiscoveryMessages(device, prefix, readout.expireAfterSeconds);
  // The offset the archive gives the same local time stamp.
  const QTimeZone& zone = readout.zone;
  const auto utcOffset = [&zone](const RecordTime& time) {
    const qint64 local = LocalSeconds(time.year, time.month, time.day, time.hour, time.minute);
    return int(local - SiteTimesInRingOrder({&local, 1}, zone).front().utc);
  };
  if (std::optional<MqttMessage> last =
          StateMessage(device, result.log, prefix, utcOffset, readout.openAlarm)) {
    messages.push_back(std::move(*last));
  }
  // A readout that missed blocks says nothing of the device's availability either way.
  if (result.blocksWithoutReply.isEmpty())
    messages.push_back(AvailabilityMessage(prefix, readout.address, true));
  return Publish(publisher, messages, readout.address);
}

MqttOutcome PublishNoAnswer(const MessagePublisher& publisher, const QString& address) {
  return Publish(publisher, {AvailabilityMessage(publisher.Broker().prefix, address, false)}, address);
}

bool HasOpenAlarm(const LogAlarms& alarms) {
  return std::any_of(alarms.alarms.begin(), alarms.alarms.end(),
                     [](const Alarm& alarm) { return alarm.open; });
}
