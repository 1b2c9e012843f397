#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

#include "mqtt/HomeAssistantMessages.h"

namespace {

const QString Prefix = QStringLiteral("site");
const QString Mac = QStringLiteral("00:1A:2B:3C:4D:5E");

const QString Address = QStringLiteral("127.0.0.1");
constexpr int ExpireAfter = 7200;

// A device as vald_read publishes it; one without a MAC address gave no identity fields either.
PublishedDevice Device(int code, const QString& mac = Mac) {
  return {MqttDeviceId(mac, Address, code),
          Address,
          mac,
          mac.isEmpty() ? QString() : QStringLiteral("SN0001"),
          mac.isEmpty() ? QString() : QStringLiteral("v2.3"),
          FindDeviceType(code)};
}

// The offset of Central European Time, without daylight saving.
int WinterOffset(const RecordTime&) {
  return 3600;
}

QJsonObject Json(const QByteArray& payload) {
  QJsonParseError error;
  const QJsonDocument document = QJsonDocument::fromJson(payload, &error);
  EXPECT_TRUE(document.isObject()) << error.errorString().toStdString() << payload.toStdString();
  return document.object();
}

TEST(MqttDeviceId, MacWithoutColonsElseAddressAndCode) {
  EXPECT_EQ(MqttDeviceId(Mac, QStringLiteral("10.0.0.5"), 43), QStringLiteral("001a2b3c4d5e"));
  EXPECT_EQ(MqttDeviceId(QString(), QStringLiteral("10.0.0.5"), 43), QStringLiteral("10_0_0_5_43"));
  EXPECT_EQ(MqttDeviceId(QString(), QStringLiteral("127.0.0.1_6300"), 21),
            QStringLiteral("127_0_0_1_6300_21"));
  EXPECT_EQ(MqttDeviceId(QString(), QStringLiteral("::1"), 2), QStringLiteral("__1_2"));
}

TEST(MqttAvailability, OneTopicPerAddress) {
  EXPECT_EQ(AvailabilityTopic(Prefix, QStringLiteral("10.0.0.5_6300")),
            QByteArray("site/10_0_0_5_6300/availability"));
  const MqttMessage online = AvailabilityMessage(Prefix, QStringLiteral("::1"), true);
  EXPECT_EQ(online.topic, QByteArray("site/__1/availability"));
  EXPECT_EQ(online.payload, QByteArray("online"));
  EXPECT_EQ(AvailabilityMessage(Prefix, QStringLiteral("::1"), false).payload, QByteArray("offline"));
}

TEST(HomeAssistantDiscovery, OneRetainedConfigPerColumn) {
  const std::vector<MqttMessage> messages = DiscoveryMessages(Device(43), Prefix, ExpireAfter);
  ASSERT_EQ(messages.size(), 5u);
  EXPECT_EQ(messages[0].topic, QByteArray("homeassistant/sensor/001a2b3c4d5e_temperature_1/config"));
  const QJsonObject expected{
      {QStringLiteral("name"), QStringLiteral("Temperature")},
      {QStringLiteral("unique_id"), QStringLiteral("001a2b3c4d5e_temperature_1")},
      {QStringLiteral("state_topic"), QStringLiteral("site/001a2b3c4d5e/state")},
      {QStringLiteral("value_template"), QStringLiteral("{{ value_json.temperature_1 }}")},
      {QStringLiteral("device_class"), QStringLiteral("temperature")},
      {QStringLiteral("unit_of_measurement"), QStringLiteral("°C")},
      {QStringLiteral("state_class"), QStringLiteral("measurement")},
      {QStringLiteral("availability_topic"), QStringLiteral("site/127_0_0_1/availability")},
      {QStringLiteral("expire_after"), 7200},
      {QStringLiteral("device"),
       QJsonObject{{QStringLiteral("identifiers"), QJsonArray{Mac}},
                   {QStringLiteral("connections"),
                    QJsonArray{QJsonArray{QStringLiteral("mac"), QStringLiteral("00:1a:2b:3c:4d:5e")}}},
                   {QStringLiteral("name"), QStringLiteral("TOPAZ 001a2b3c4d5e")},
                   {QStringLiteral("model"), QStringLiteral("TOPAZ")},
                   {QStringLiteral("serial_number"), QStringLiteral("SN0001")},
                   {QStringLiteral("sw_version"), QStringLiteral("v2.3")}}},
  };
  EXPECT_EQ(Json(messages[0].payload), expected);
  EXPECT_EQ(messages[3].topic, QByteArray("homeassistant/sensor/001a2b3c4d5e_voc_1/config"));
}

TEST(HomeAssistantDiscovery, ProblemBinarySensorPerDevice) {
  const std::vector<MqttMessage> messages = DiscoveryMessages(Device(43), Prefix, ExpireAfter);
  EXPECT_EQ(messages.back().topic, QByteArray("homeassistant/binary_sensor/001a2b3c4d5e_problem/config"));
  QJsonObject config = Json(messages.back().payload);
  EXPECT_EQ(config.take(QLatin1String("device")), Json(messages.front().payload)[QLatin1String("device")]);
  const QJsonObject expected{
      {QStringLiteral("name"), QStringLiteral("Problem")},
      {QStringLiteral("unique_id"), QStringLiteral("001a2b3c4d5e_problem")},
      {QStringLiteral("device_class"), QStringLiteral("problem")},
      {QStringLiteral("state_topic"), QStringLiteral("site/001a2b3c4d5e/state")},
      {QStringLiteral("value_template"), QStringLiteral("{{ 'ON' if value_json.problem else 'OFF' }}")},
      {QStringLiteral("availability_topic"), QStringLiteral("site/127_0_0_1/availability")},
      {QStringLiteral("expire_after"), 7200},
  };
  EXPECT_EQ(config, expected);
}

TEST(HomeAssistantDiscovery, NoExpiryWhenTurnedOff) {
  for (const MqttMessage& message : DiscoveryMessages(Device(55), Prefix, 0)) {
    EXPECT_FALSE(Json(message.payload).contains(QLatin1String("expire_after")))
        << message.topic.toStdString();
  }
}

TEST(HomeAssistantDiscovery, DeviceWithoutMacIsKnownByItsId) {
  const std::vector<MqttMessage> messages = DiscoveryMessages(Device(21, QString()), Prefix, ExpireAfter);
  ASSERT_EQ(messages.size(), 3u);
  EXPECT_EQ(messages[1].topic, QByteArray("homeassistant/sensor/127_0_0_1_21_temperature_2/config"));
  const QJsonObject config = Json(messages[1].payload);
  EXPECT_EQ(config[QLatin1String("name")].toString(), QStringLiteral("Temperature 2"));
  EXPECT_EQ(config[QLatin1String("state_topic")].toString(), QStringLiteral("site/127_0_0_1_21/state"));
  const QJsonObject device = config[QLatin1String("device")].toObject();
  EXPECT_EQ(device[QLatin1String("identifiers")].toArray(), QJsonArray{QStringLiteral("127_0_0_1_21")});
  // What the device did not give is left out.
  EXPECT_EQ(device.keys(),
            (QStringList{QStringLiteral("identifiers"), QStringLiteral("model"), QStringLiteral("name")}));
}

// One sensor of a device as Home Assistant is told it; empty texts stand for keys left out.
struct SensorCase {
  int code;
  size_t column;
  const char* key;
  const char* name;
  const char* deviceClass;
  const char* unit;
  bool measurement;
};

void PrintTo(const SensorCase& c, std::ostream* os) {
  *os << c.key << " of " << c.code;
}

class HomeAssistantSensor : public testing::TestWithParam<SensorCase> {};

TEST_P(HomeAssistantSensor, ClassUnitAndStateClassOfItsQuantity) {
  const SensorCase& c = GetParam();
  const std::vector<MqttMessage> messages = DiscoveryMessages(Device(c.code), Prefix, ExpireAfter);
  ASSERT_EQ(messages.size(), FindDeviceType(c.code)->columns.size() + 1);
  ASSERT_LT(c.column, messages.size());
  EXPECT_EQ(messages[c.column].topic,
            QStringLiteral("homeassistant/sensor/001a2b3c4d5e_%1/config").arg(QLatin1String(c.key)).toUtf8());
  const QJsonObject config = Json(messages[c.column].payload);
  EXPECT_EQ(config[QLatin1String("name")].toString(), QString::fromUtf8(c.name));
  EXPECT_EQ(config[QLatin1String("value_template")].toString(),
            QStringLiteral("{{ value_json.%1 }}").arg(QLatin1String(c.key)));
  const auto textOrAbsent = [&](const char* key) {
    return config.contains(QLatin1String(key)) ? config[QLatin1String(key)].toString().toStdString() : "";
  };
  EXPECT_EQ(textOrAbsent("device_class"), c.deviceClass);
  EXPECT_EQ(textOrAbsent("unit_of_measurement"), c.unit);
  EXPECT_EQ(textOrAbsent("state_class"), c.measurement ? "measurement" : "");
}

INSTANTIATE_TEST_SUITE_P(
    Quantities, HomeAssistantSensor,
    testing::Values(SensorCase{43, 1, "humidity_1", "Humidity", "humidity", "%", true},
                    SensorCase{43, 2, "co2_1", "CO2", "carbon_dioxide", "ppm", true},
                    SensorCase{43, 3, "voc_1", "VOC", "volatile_organic_compounds_parts", "ppb", true},
                    SensorCase{55, 0, "power_1", "Power 1", "power", "kW", true},
                    SensorCase{55, 4, "voltage_2", "Voltage 2", "voltage", "V", true},
                    SensorCase{55, 8, "current_3", "Current 3", "current", "A", true},
                    SensorCase{18, 0, "current_1", "Current 1", "current", "mA", true},
                    SensorCase{56, 2, "voltage_1", "Voltage", "voltage", "V", true},
                    SensorCase{14, 1, "illuminance_2", "Illuminance 2", "illuminance", "lx", true},
                    SensorCase{50, 0, "pm1_0_1", "PM1.0 1", "pm1", "µg/m³", true},
                    SensorCase{50, 5, "pm2_5_2", "PM2.5 2", "pm25", "µg/m³", true},
                    SensorCase{50, 8, "pm4_0_1", "PM4.0 1", "", "µg/m³", true},
                    SensorCase{50, 15, "pm10_4", "PM10.0 4", "pm10", "µg/m³", true},
                    SensorCase{45, 8, "absolute_humidity_1", "Absolute humidity 1", "", "g/m³", true},
                    SensorCase{42, 11, "state_12", "Contact 12", "", "", false},
                    SensorCase{31, 1, "event_2", "Relay event 2", "", "", false},
                    SensorCase{39, 0, "event_1", "Event", "", "", false},
                    SensorCase{19, 11, "value_8", "Value 8", "", "", false}),
    [](const auto& info) { return std::string(info.param.key) + "_of_" + std::to_string(info.param.code); });

RecordValue Number(double number, int decimals) {
  RecordValue value;
  value.kind = RecordValue::Kind::Number;
  value.number = number;
  value.decimals = uint8_t(decimals);
  return value;
}

RecordValue Event(double number) {
  RecordValue value = Number(number, 0);
  value.kind = RecordValue::Kind::Event;
  return value;
}

// A log of whole records at the given minutes of 2024-03-02 09:00, each with its values.
RecordLog Log(const std::vector<std::vector<RecordValue>>& records) {
  RecordLog log;
  for (size_t i = 0; i < records.size(); ++i) {
    LogRecord record;
    record.kind = 'a';
    record.timeCount = LogRecord::TimeColumns;
    record.time = {2024, 3, 2, 9, uint8_t(10 * i)};
    record.firstValue = uint32_t(log.values.size());
    record.valueCount = uint32_t(records[i].size());
    log.values.insert(log.values.end(), records[i].begin(), records[i].end());
    log.records.push_back(record);
  }
  return log;
}

TEST(StateMessage, LastWholeRecordInEachQuantitysUnit) {
  RecordLog log = Log({{Number(20.5, 1), Number(40, 1), Number(700, 0), Number(80, 0)},
                       {Number(21.5, 1), RecordValue{}, Number(812, 0), Number(95, 0)},
                       {Number(22.5, 1)}});
  // The last record was cut by the end of the log: the one before it is the last whole one.
  log.records.back().cutShort = true;
  const std::optional<MqttMessage> state = StateMessage(Device(43), log, Prefix, WinterOffset, false);
  ASSERT_TRUE(state);
  EXPECT_EQ(state->topic, QByteArray("site/001a2b3c4d5e/state"));
  const QJsonObject expected{{QStringLiteral("time"), QStringLiteral("2024-03-02T09:10:00+01:00")},
                             {QStringLiteral("problem"), false},
                             {QStringLiteral("temperature_1"), 21.5},
                             {QStringLiteral("humidity_1"), QJsonValue::Null},
                             {QStringLiteral("co2_1"), 812},
                             {QStringLiteral("voc_1"), 95}};
  EXPECT_EQ(Json(state->payload), expected);
}

TEST(StateMessage, EnergyMeterTenthsAndEventCodes) {
  const RecordLog meter = Log({{Number(1234, 0), Number(7, 0), Number(0, 0), Number(2301, 0), Number(2299, 0),
                                Number(2310, 0), Number(53, 0), Number(3, 0), Number(1, 0)}});
  const QJsonObject values = Json(StateMessage(Device(55), meter, Prefix, WinterOffset, true)->payload);
  EXPECT_EQ(
      QJsonDocument(values).toJson(QJsonDocument::Compact),
      QByteArray("{\"current_1\":5.3,\"current_2\":0.3,\"current_3\":0.1,\"power_1\":123.4,\"power_2\":0.7,"
                 "\"power_3\":0,\"problem\":true,\"time\":\"2024-03-02T09:00:00+01:00\",\"voltage_1\":230.1,"
                 "\"voltage_2\":229.9,\"voltage_3\":231}"));

  const RecordLog relay = Log({{Number(-0.0, 0), Event(128)}});
  const QJsonObject events = Json(StateMessage(Device(31), relay, Prefix, WinterOffset, false)->payload);
  EXPECT_EQ(events[QLatin1String("event_2")].toDouble(), 128);
  EXPECT_FALSE(std::signbit(events[QLatin1String("event_1")].toDouble(-1)));
}

struct OffsetCase {
  int seconds;
  const char* time;
};

class StateTime : public testing::TestWithParam<OffsetCase> {};

// The device's local time as it wrote it, with the offset of its site's zone at that time.
TEST_P(StateTime, LocalTimeWithItsOffset) {
  const RecordLog log = Log({{Number(21.5, 1)}});
  std::optional<RecordTime> asked;
  const auto offset = [&](const RecordTime& time) {
    asked = time;
    return GetParam().seconds;
  };
  const QJsonObject state = Json(StateMessage(Device(43), log, Prefix, offset, false)->payload);
  EXPECT_EQ(state[QLatin1String("time")].toString(), QString::fromLatin1(GetParam().time));
  EXPECT_EQ(asked, log.records.back().time);
}

INSTANTIATE_TEST_SUITE_P(Offsets, StateTime,
                         testing::Values(OffsetCase{7200, "2024-03-02T09:00:00+02:00"},
                                         OffsetCase{19800, "2024-03-02T09:00:00+05:30"},
                                         OffsetCase{-12600, "2024-03-02T09:00:00-03:30"},
                                         OffsetCase{0, "2024-03-02T09:00:00+00:00"}));

TEST(StateMessage, NoneWithoutAWholeRecord) {
  EXPECT_FALSE(StateMessage(Device(43), RecordLog{}, Prefix, WinterOffset, false));
  RecordLog cut = Log({{Number(21.5, 1)}});
  cut.records.back().cutShort = true;
  EXPECT_FALSE(StateMessage(Device(43), cut, Prefix, WinterOffset, false));
}

}  // namespace
