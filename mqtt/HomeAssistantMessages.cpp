#include "mqtt/HomeAssistantMessages.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "decode/DeviceChannels.h"

namespace {

constexpr char SensorDiscovery[] = "homeassistant/sensor/";
constexpr char BinarySensorDiscovery[] = "homeassistant/binary_sensor/";
constexpr char Online[] = "online";
constexpr char Offline[] = "offline";

// The digits after the decimal point that a scale adds: one for tenths.
int ScaleDecimals(double scale) {
  return scale < 1 ? int(std::lround(-std::log10(scale))) : 0;
}

// A value in its quantity's unit, rounded to the digits it has, so that tenths stay tenths.
QJsonValue ValueInUnit(const RecordValue& value, const Quantity& quantity) {
  if (!value.IsNumber()) return QJsonValue(QJsonValue::Null);
  const double digits = std::pow(10.0, value.decimals + ScaleDecimals(quantity.scale));
  // Adding zero turns a negative zero into zero.
  return std::round(value.number * quantity.scale * digits) / digits + 0.0;
}

// "2023-12-03T14:05:00+01:00": the time as the device wrote it, with its offset from UTC.
QString TimeText(const RecordTime& time, int utcOffsetSeconds) {
  const int minutes = std::abs(utcOffsetSeconds) / 60;
  return QString::asprintf("%04d-%02d-%02dT%02d:%02d:00%c%02d:%02d", time.year, time.month, time.day,
                           time.hour, time.minute, utcOffsetSeconds < 0 ? '-' : '+', minutes / 60,
                           minutes % 60);
}

// A name that is one topic level and an id Home Assistant takes: every character but a letter or a
// digit as "_".
QString TopicName(QString name) {
  for (QChar& c : name) {
    if (!(c.isDigit() || (c.toLower() >= QLatin1Char('a') && c.toLower() <= QLatin1Char('z')))) {
      c = QLatin1Char('_');
    }
  }
  return name;
}

// A channel's name in the home system: "Temperature 2", or "Temperature" for the only one.
QString HomeAssistantName(const DeviceChannel& channel) {
  const QString label = QString::fromUtf8(channel.quantity->labelEn);
  return channel.alone ? label : QStringLiteral("%1 %2").arg(label).arg(channel.number);
}

QJsonObject DeviceObject(const PublishedDevice& device) {
  QJsonObject object{
      {QStringLiteral("identifiers"), QJsonArray{device.mac.isEmpty() ? device.id : device.mac}},
      {QStringLiteral("name"), QStringLiteral("%1 %2").arg(QLatin1String(device.type->name), device.id)},
      {QStringLiteral("model"), QLatin1String(device.type->name)},
  };
  if (!device.mac.isEmpty()) {
    object.insert(QStringLiteral("connections"),
                  QJsonArray{QJsonArray{QStringLiteral("mac"), device.mac.toLower()}});
  }
  if (!device.serial.isEmpty()) object.insert(QStringLiteral("serial_number"), device.serial);
  if (!device.version.isEmpty()) object.insert(QStringLiteral("sw_version"), device.version);
  return object;
}

// The keys every entity of a device has: its unique id, state topic, device and availability, and how
// long a state holds.
QJsonObject EntityConfig(const PublishedDevice& device, const QString& prefix, const QString& uniqueId,
                         int expireAfterSeconds) {
  QJsonObject config{
      {QStringLiteral("unique_id"), uniqueId},
      {QStringLiteral("state_topic"), QString::fromUtf8(StateTopic(prefix, device.id))},
      {QStringLiteral("availability_topic"), QString::fromUtf8(AvailabilityTopic(prefix, device.address))},
      {QStringLiteral("device"), DeviceObject(device)},
  };
  if (expireAfterSeconds > 0) config.insert(QStringLiteral("expire_after"), expireAfterSeconds);
  return config;
}

MqttMessage DiscoveryMessage(const char* component, const QString& uniqueId, const QJsonObject& config) {
  return {(QLatin1String(component) + uniqueId + QStringLiteral("/config")).toUtf8(),
          QJsonDocument(config).toJson(QJsonDocument::Compact)};
}

}  // namespace

QString MqttDeviceId(const QString& mac, const QString& address, int deviceCode) {
  return TopicName(mac.isEmpty() ? QStringLiteral("%1_%2").arg(address).arg(deviceCode)
                                 : QString(mac).remove(QLatin1Char(':')).toLower());
}

QByteArray StateTopic(const QString& prefix, const QString& deviceId) {
  return (prefix + QLatin1Char('/') + deviceId + QStringLiteral("/state")).toUtf8();
}

QByteArray AvailabilityTopic(const QString& prefix, const QString& address) {
  return (prefix + QLatin1Char('/') + TopicName(address) + QStringLiteral("/availability")).toUtf8();
}

MqttMessage AvailabilityMessage(const QString& prefix, const QString& address, bool online) {
  return {AvailabilityTopic(prefix, address), online ? Online : Offline};
}

std::vector<MqttMessage> DiscoveryMessages(const PublishedDevice& device, const QString& prefix,
                                           int expireAfterSeconds) {
  std::vector<MqttMessage> messages;
  for (const DeviceChannel& channel : DeviceChannels(*device.type)) {
    const QString uniqueId = device.id + QLatin1Char('_') + channel.Key();
    QJsonObject config = EntityConfig(device, prefix, uniqueId, expireAfterSeconds);
    config.insert(QStringLiteral("name"), HomeAssistantName(channel));
    config.insert(QStringLiteral("value_template"), QStringLiteral("{{ value_json.%1 }}").arg(channel.Key()));
    const Quantity& quantity = *channel.quantity;
    if (quantity.homeAssistantClass)
      config.insert(QStringLiteral("device_class"), QLatin1String(quantity.homeAssistantClass));
    const char* unit = quantity.homeAssistantUnit ? quantity.homeAssistantUnit : quantity.unit;
    if (*unit) {
      config.insert(QStringLiteral("unit_of_measurement"), QString::fromUtf8(unit));
      config.insert(QStringLiteral("state_class"), QStringLiteral("measurement"));
    }
    messages.push_back(DiscoveryMessage(SensorDiscovery, uniqueId, config));
  }
  const QString problemId = device.id + QStringLiteral("_problem");
  QJsonObject problem = EntityConfig(device, prefix, problemId, expireAfterSeconds);
  problem.insert(QStringLiteral("name"), QStringLiteral("Problem"));
  problem.insert(QStringLiteral("device_class"), QStringLiteral("problem"));
  problem.insert(QStringLiteral("value_template"),
                 QStringLiteral("{{ 'ON' if value_json.problem else 'OFF' }}"));
  messages.push_back(DiscoveryMessage(BinarySensorDiscovery, problemId, problem));
  return messages;
}

std::optional<MqttMessage> StateMessage(const PublishedDevice& device, const RecordLog& log,
                                        const QString& prefix, const UtcOffsetOf& utcOffset, bool openAlarm) {
  const auto last = std::find_if(log.records.rbegin(), log.records.rend(), [](const LogRecord& record) {
    return !record.cutShort && record.timeCount == LogRecord::TimeColumns;
  });
  if (last == log.records.rend()) return std::nullopt;
  const std::vector<DeviceChannel> channels = DeviceChannels(*device.type);
  const auto values = log.Values(*last);
  QJsonObject state{{QStringLiteral("time"), TimeText(last->time, utcOffset(last->time))},
                    {QStringLiteral("problem"), openAlarm}};
  for (size_t column = 0; column < channels.size(); ++column) {
    state.insert(channels[column].Key(), column < values.size()
                                             ? ValueInUnit(values[column], *channels[column].quantity)
                                             : QJsonValue(QJsonValue::Null));
  }
  return MqttMessage{StateTopic(prefix, device.id), QJsonDocument(state).toJson(QJsonDocument::Compact)};
}
