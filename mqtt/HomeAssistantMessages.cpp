#include "mqtt/HomeAssistantMessages.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cmath>

#include "decode/DeviceChannels.h"

namespace {

constexpr char DiscoveryPrefix[] = "homeassistant/sensor/";

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

QString TimeText(const RecordTime& time) {
  return QString::asprintf("%04d-%02d-%02dT%02d:%02d", time.year, time.month, time.day, time.hour,
                           time.minute);
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
  return object;
}

}  // namespace

QString MqttDeviceId(const QString& mac, const QString& address, int deviceCode) {
  QString id = mac.isEmpty() ? QStringLiteral("%1_%2").arg(address).arg(deviceCode)
                             : QString(mac).remove(QLatin1Char(':')).toLower();
  for (QChar& c : id) {
    if (!(c.isDigit() || (c.toLower() >= QLatin1Char('a') && c.toLower() <= QLatin1Char('z')))) {
      c = QLatin1Char('_');
    }
  }
  return id;
}

QByteArray StateTopic(const QString& prefix, const QString& deviceId) {
  return (prefix + QLatin1Char('/') + deviceId + QStringLiteral("/state")).toUtf8();
}

std::vector<MqttMessage> DiscoveryMessages(const PublishedDevice& device, const QString& prefix) {
  const QJsonObject deviceObject = DeviceObject(device);
  const QString stateTopic = QString::fromUtf8(StateTopic(prefix, device.id));
  std::vector<MqttMessage> messages;
  for (const DeviceChannel& channel : DeviceChannels(*device.type)) {
    const QString uniqueId = device.id + QLatin1Char('_') + channel.Key();
    QJsonObject config{
        {QStringLiteral("name"), HomeAssistantName(channel)},
        {QStringLiteral("unique_id"), uniqueId},
        {QStringLiteral("state_topic"), stateTopic},
        {QStringLiteral("value_template"), QStringLiteral("{{ value_json.%1 }}").arg(channel.Key())},
        {QStringLiteral("device"), deviceObject},
    };
    const Quantity& quantity = *channel.quantity;
    if (quantity.homeAssistantClass)
      config.insert(QStringLiteral("device_class"), QLatin1String(quantity.homeAssistantClass));
    const char* unit = quantity.homeAssistantUnit ? quantity.homeAssistantUnit : quantity.unit;
    if (*unit) {
      config.insert(QStringLiteral("unit_of_measurement"), QString::fromUtf8(unit));
      config.insert(QStringLiteral("state_class"), QStringLiteral("measurement"));
    }
    messages.push_back({(QLatin1String(DiscoveryPrefix) + uniqueId + QStringLiteral("/config")).toUtf8(),
                        QJsonDocument(config).toJson(QJsonDocument::Compact)});
  }
  return messages;
}

std::optional<MqttMessage> StateMessage(const PublishedDevice& device, const RecordLog& log,
                                        const QString& prefix) {
  const auto last = std::find_if(log.records.rbegin(), log.records.rend(), [](const LogRecord& record) {
    return !record.cutShort && record.timeCount == LogRecord::TimeColumns;
  });
  if (last == log.records.rend()) return std::nullopt;
  const std::vector<DeviceChannel> channels = DeviceChannels(*device.type);
  const auto values = log.Values(*last);
  QJsonObject state{{QStringLiteral("time"), TimeText(last->time)}};
  for (size_t column = 0; column < channels.size(); ++column) {
    state.insert(channels[column].Key(), column < values.size()
                                             ? ValueInUnit(values[column], *channels[column].quantity)
                                             : QJsonValue(QJsonValue::Null));
  }
  return MqttMessage{StateTopic(prefix, device.id), QJsonDocument(state).toJson(QJsonDocument::Compact)};
}
