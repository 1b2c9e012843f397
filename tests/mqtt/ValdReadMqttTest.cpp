// vald_read --mqtt against a real broker (scripts/with-mosquitto.sh): what it publishes is read back by
// a subscriber of its own; a broker that does not take the messages leaves file and archive as usual; a
// device that does not answer, or a connection that drops, leaves the device offline.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>

#include "CuttingProxy.h"
#include "RetainedMessages.h"
#include "decode/DeviceCatalogue.h"
#include "files/SimulatedReadout.h"
#include "support/ProgramRun.h"
#include "support/SimulatorFixture.h"
#include "support/TempFolder.h"

namespace {

using Environment = QHash<QString, QString>;

QString Variable(const char* name) {
  return qEnvironmentVariable(name);
}

QJsonObject Json(const QByteArray& text) {
  QJsonParseError error;
  const QJsonDocument document = QJsonDocument::fromJson(text, &error);
  EXPECT_TRUE(document.isObject()) << error.errorString().toStdString() << text.toStdString();
  return document.object();
}

class ValdReadMqtt : public testing::Test {
 protected:
  void SetUp() override {
    if (Variable("VALD_TEST_MQTT_URL").isEmpty()) {
      GTEST_SKIP() << "VALD_TEST_MQTT_URL is not set: the MQTT tests need the broker that "
                      "scripts/with-mosquitto.sh starts";
    }
    // A locally administered MAC address and a prefix of this test alone, so that tests run at once
    // or one after another keep their retained messages apart.
    static int tests = 0;
    const auto pid = uint32_t(getpid());
    ++tests;
    mac = QString::asprintf("02:%02X:%02X:%02X:%02X:%02X", (pid >> 16) & 0xFF, (pid >> 8) & 0xFF, pid & 0xFF,
                            (tests >> 8) & 0xFF, tests & 0xFF);
    prefix = QStringLiteral("vald-test-%1-%2").arg(pid).arg(tests);
  }

  // The device, with the test's MAC address unless `identity` names another reply.
  SimulatorConfig Device(int code, const QByteArray& identity = {}) const {
    SimulatorConfig config = FixedSimulatorConfig(code, 200);
    config.identityReply = identity.isEmpty() ? mac.toLatin1() + ";SN0001;R-17;TOPAZ;v2.3;c1" : identity;
    return config;
  }

  // vald_read of the device on `port` into `out`, its password only from `environment`, at a site half an
  // hour off the whole hours.
  ProcessResult Read(uint16_t port, const QStringList& options, const Environment& environment = {}) const {
    QProcessEnvironment system = QProcessEnvironment::systemEnvironment();
    system.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    system.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    system.remove(QStringLiteral("VALD_MQTT_PASSWORD"));
    system.remove(QStringLiteral("SSL_CERT_FILE"));
    for (auto it = environment.begin(); it != environment.end(); ++it) system.insert(it.key(), it.value());
    const QStringList arguments = QStringList{QStringLiteral("--port"),
                                              QString::number(port),
                                              QStringLiteral("--out"),
                                              out.Path(),
                                              QStringLiteral("--time"),
                                              QStringLiteral("2023-12-03 14:05"),
                                              QStringLiteral("--decimal-separator"),
                                              QStringLiteral(","),
                                              QStringLiteral("--time-zone"),
                                              QStringLiteral("Asia/Kolkata")} +
                                  options + QStringList{QStringLiteral("127.0.0.1")};
    return RunProgram(QStringLiteral(VALD_READ_PATH), arguments, system);
  }

  // What a new subscriber to the test broker gets for the discovery of `deviceId` and under the test's
  // prefix.
  QMap<QByteArray, QByteArray> Published(const QString& deviceId) const {
    QMap<QByteArray, QByteArray> messages =
        RetainedMessages(ParseBrokerLocation(Variable("VALD_TEST_MQTT_URL")),
                         {QStringLiteral("homeassistant/sensor/#"),
                          QStringLiteral("homeassistant/binary_sensor/#"), prefix + QStringLiteral("/#")});
    const QByteArray sensor = "homeassistant/sensor/" + deviceId.toUtf8() + '_';
    const QByteArray binarySensor = "homeassistant/binary_sensor/" + deviceId.toUtf8() + '_';
    messages.removeIf([&](const auto& message) {
      return !message.key().startsWith(sensor) && !message.key().startsWith(binarySensor) &&
             !message.key().startsWith(prefix.toUtf8() + '/');
    });
    return messages;
  }

  // Whether the device read at 127.0.0.1 is online.
  QByteArray Availability() const { return (prefix + QStringLiteral("/127_0_0_1/availability")).toUtf8(); }

  // What the test broker holds under the test's prefix.
  QMap<QByteArray, QByteArray> UnderPrefix() const {
    return RetainedMessages(ParseBrokerLocation(Variable("VALD_TEST_MQTT_URL")),
                            {prefix + QStringLiteral("/#")});
  }

  TempFolder out;
  QString mac;
  QString prefix;
};

// The state a device's last measurement line gives: its time at the test's site, each column in its
// quantity's unit, no problem.
QJsonObject StateOfLastLine(const QByteArray& file, const DeviceType& type) {
  const QList<QByteArray> lines = file.trimmed().split('\n');
  const QList<QByteArray> fields = lines.last().trimmed().split(';');
  QJsonObject state{
      {QStringLiteral("time"), QString::fromLatin1(fields[0] + '-' + fields[1] + '-' + fields[2] + 'T' +
                                                   fields[3] + ':' + fields[4] + ":00+05:30")},
      {QStringLiteral("problem"), false}};
  QHash<QByteArray, int> counts;
  for (int column = 0; column < type.ValueColumns(); ++column) {
    const Quantity& quantity = QuantityOf(type.columns[size_t(column)]);
    const QString key = QStringLiteral("%1_%2").arg(QLatin1String(quantity.key)).arg(++counts[quantity.key]);
    const QByteArray text = fields[5 + column];
    state.insert(key, text == "--"
                          ? QJsonValue(QJsonValue::Null)
                          : QJsonValue(QByteArray(text).replace(',', '.').toDouble() * quantity.scale));
  }
  return state;
}

struct PublishedCase {
  const char* label;
  int code;
  const char* urlVariable;  // the test broker's listener
  bool withPassword;        // VALD_MQTT_PASSWORD holds the test user's password
  bool trustTestCertificate;
  QByteArray identity;  // empty: the test's MAC address with a serial number and a firmware version
  const char* expire;   // --mqtt-expire; nullptr: the default
  int expireAfter;      // what the discovery says; 0: nothing
};

void PrintTo(const PublishedCase& c, std::ostream* os) {
  *os << c.label;
}

class ValdReadPublishes : public ValdReadMqtt, public testing::WithParamInterface<PublishedCase> {};

TEST_P(ValdReadPublishes, DiscoveryAndLastRecordReadBack) {
  const PublishedCase& c = GetParam();
  const RunningSimulator device(Device(c.code, c.identity));
  Environment environment;
  if (c.withPassword)
    environment.insert(QStringLiteral("VALD_MQTT_PASSWORD"), Variable("VALD_TEST_MQTT_PASSWORD"));
  if (c.trustTestCertificate)
    environment.insert(QStringLiteral("SSL_CERT_FILE"), Variable("VALD_TEST_MQTT_CA"));
  QStringList options{QStringLiteral("--archive"), QStringLiteral("off"), QStringLiteral("--json"),
                      QStringLiteral("--mqtt"), Variable(c.urlVariable) + QLatin1Char('/') + prefix};
  if (c.expire) options << QStringLiteral("--mqtt-expire") << QString::fromLatin1(c.expire);
  const ProcessResult result = Read(device.Port(), options, environment);
  ASSERT_EQ(result.exitCode, 0) << result.out.toStdString() << result.err.toStdString();
  const QJsonObject line = Json(result.out.toUtf8());
  EXPECT_EQ(line[QLatin1String("mqtt")].toString(), QStringLiteral("published"));
  EXPECT_TRUE(line[QLatin1String("error")].isNull());

  const DeviceType& type = *FindDeviceType(c.code);
  const QString deviceMac = c.identity.isEmpty() ? mac : QString();
  EXPECT_EQ(line[QLatin1String("mac")].toString(), deviceMac);
  const QString id =
      deviceMac.isEmpty() ? QStringLiteral("127_0_0_1_%1").arg(c.code) : deviceMac.toLower().remove(':');
  const QMap<QByteArray, QByteArray> published = Published(id);
  const QByteArray stateTopic = (prefix + QLatin1Char('/') + id + QStringLiteral("/state")).toUtf8();
  // A sensor per column, the problem sensor, the state and the availability.
  ASSERT_EQ(published.size(), type.ValueColumns() + 3) << published.keys().join(' ').toStdString();
  EXPECT_EQ(published.value(Availability()), "online");
  const QByteArray problemTopic = "homeassistant/binary_sensor/" + id.toUtf8() + "_problem/config";
  EXPECT_EQ(Json(published.value(problemTopic))[QLatin1String("device_class")].toString(),
            QStringLiteral("problem"));
  for (auto it = published.begin(); it != published.end(); ++it) {
    if (!it.key().startsWith("homeassistant/")) continue;
    const QJsonObject config = Json(it.value());
    EXPECT_EQ(it.key(),
              (it.key() == problemTopic ? "homeassistant/binary_sensor/" : "homeassistant/sensor/") +
                  config[QLatin1String("unique_id")].toString().toUtf8() + "/config");
    EXPECT_EQ(config[QLatin1String("state_topic")].toString().toUtf8(), stateTopic);
    EXPECT_EQ(config[QLatin1String("availability_topic")].toString().toUtf8(), Availability());
    EXPECT_EQ(config[QLatin1String("expire_after")].toInt(), c.expireAfter) << it.key().toStdString();
    const QJsonObject device = config[QLatin1String("device")].toObject();
    EXPECT_EQ(device[QLatin1String("identifiers")].toArray(),
              QJsonArray{deviceMac.isEmpty() ? id : deviceMac});
    // The serial number and the firmware version only from an identity reply that gave them.
    EXPECT_EQ(device[QLatin1String("serial_number")].toString(),
              deviceMac.isEmpty() ? QString() : QStringLiteral("SN0001"));
    EXPECT_EQ(device[QLatin1String("sw_version")].toString(),
              deviceMac.isEmpty() ? QString() : QStringLiteral("v2.3"));
  }
  const QByteArray file = out.Read(QFileInfo(line[QLatin1String("file")].toString()).fileName());
  const QJsonObject expected = StateOfLastLine(file, type);
  const QJsonObject state = Json(published.value(stateTopic));
  ASSERT_EQ(state.keys(), expected.keys());
  for (const QString& key : expected.keys()) {
    if (expected[key].isDouble()) {
      EXPECT_DOUBLE_EQ(state[key].toDouble(), expected[key].toDouble()) << key.toStdString();
    } else {
      EXPECT_EQ(state[key], expected[key]) << key.toStdString();
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Brokers, ValdReadPublishes,
    testing::Values(
        PublishedCase{"Climate", 43, "VALD_TEST_MQTT_URL", false, false, {}, nullptr, 7200},
        PublishedCase{"EnergyMeterWithPassword", 55, "VALD_TEST_MQTT_AUTH_URL", true, false, {}, "600", 600},
        PublishedCase{"ParticulateOverTls", 50, "VALD_TEST_MQTT_TLS_URL", false, true, {}, "0", 0},
        PublishedCase{"DeviceWithoutMac", 21, "VALD_TEST_MQTT_URL", false, false, "no identity", nullptr,
                      7200}),
    [](const auto& info) { return std::string(info.param.label); });

// A port of 127.0.0.1 where nothing listens.
uint16_t ClosedPort() {
  QTcpServer server;
  server.listen(QHostAddress::LocalHost);
  return server.serverPort();
}

struct RefusedCase {
  const char* label;
  const char* urlVariable;  // empty: a port where no broker listens
  const char* password;     // the test user's password for "right", none for nullptr
  const char* reason;       // the start of the reason, BROKER standing for its host and port
};

void PrintTo(const RefusedCase& c, std::ostream* os) {
  *os << c.label;
}

class ValdReadNotPublished : public ValdReadMqtt, public testing::WithParamInterface<RefusedCase> {};

TEST_P(ValdReadNotPublished, FileAndArchiveAsUsualMqttOutcomeReported) {
  const RefusedCase& c = GetParam();
  const RunningSimulator device(Device(43));
  const QString url =
      *c.urlVariable ? Variable(c.urlVariable) : QStringLiteral("mqtt://127.0.0.1:%1").arg(ClosedPort());
  Environment environment;
  if (c.password) {
    environment.insert(QStringLiteral("VALD_MQTT_PASSWORD"), QByteArray(c.password) == "right"
                                                                 ? Variable("VALD_TEST_MQTT_PASSWORD")
                                                                 : QString::fromUtf8(c.password));
  }
  const QString broker = ParseBrokerLocation(url).Describe();
  const QString reason = QString::fromUtf8(c.reason).replace(QStringLiteral("BROKER"), broker);

  const ProcessResult json =
      Read(device.Port(), {QStringLiteral("--json"), QStringLiteral("--mqtt"), url}, environment);
  EXPECT_EQ(json.exitCode, 1);
  const QJsonObject line = Json(json.out.toUtf8());
  EXPECT_TRUE(line[QLatin1String("mqtt")].toString().startsWith(reason)) << json.out.toStdString();
  EXPECT_EQ(line[QLatin1String("error")].toString(),
            QStringLiteral("not published to MQTT: ") + line[QLatin1String("mqtt")].toString());
  EXPECT_EQ(line[QLatin1String("mac")].toString(), mac);
  EXPECT_EQ(line[QLatin1String("newRecordsArchived")].toInt(), line[QLatin1String("records")].toInt());
  const QString file = out.File(QStringLiteral("23.12.03 14.05 VALD_TOPAZ.csv"));
  EXPECT_EQ(line[QLatin1String("file")].toString(), file);
  EXPECT_EQ(out.Read(QFileInfo(file).fileName()).count("\r\n"), line[QLatin1String("records")].toInt());

  const ProcessResult text = Read(device.Port(), {QStringLiteral("--mqtt"), url}, environment);
  EXPECT_EQ(text.exitCode, 1);
  const QString start = QStringLiteral("127.0.0.1: %1 (not published to MQTT: %2").arg(file, reason);
  EXPECT_TRUE(text.out.startsWith(start) && text.out.endsWith(QStringLiteral(")\n")))
      << text.out.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Brokers, ValdReadNotPublished,
    testing::Values(RefusedCase{"Down", "", nullptr, "cannot connect to BROKER: Connection refused"},
                    RefusedCase{"WrongPassword", "VALD_TEST_MQTT_AUTH_URL", "wrong",
                                "BROKER refused the connection: Not authorized"},
                    RefusedCase{"NoPassword", "VALD_TEST_MQTT_AUTH_URL", nullptr,
                                "BROKER refused the connection: Not authorized"},
                    RefusedCase{"UserWhoMayOnlyRead", "VALD_TEST_MQTT_READER_URL", "right",
                                "BROKER did not take the messages: Not authorized"},
                    RefusedCase{"UnknownCertificate", "VALD_TEST_MQTT_TLS_URL", nullptr,
                                "cannot connect to BROKER: A TLS error occurred."}),
    [](const auto& info) { return std::string(info.param.label); });

// The availability of the device at an address: offline when nothing answers there, online after a
// readout of the whole log, as it was after one that missed blocks.
TEST_F(ValdReadMqtt, AvailabilityFollowsTheReadouts) {
  SimulatorConfig silent = Device(43);
  silent.silent = true;
  SimulatorConfig missingBlocks = Device(43);
  missingBlocks.silentFromBlock = 31;  // the last block
  const auto read = [&](const SimulatorConfig& config) {
    const RunningSimulator device(config);
    const ProcessResult result =
        Read(device.Port(),
             {QStringLiteral("--archive"), QStringLiteral("off"), QStringLiteral("--json"),
              QStringLiteral("--mqtt"), Variable("VALD_TEST_MQTT_URL") + QLatin1Char('/') + prefix});
    const QJsonObject line = Json(result.out.toUtf8());
    EXPECT_EQ(line[QLatin1String("mqtt")].toString(), QStringLiteral("published"))
        << result.out.toStdString();
    return line;
  };
  const QString id = mac.toLower().remove(QLatin1Char(':'));
  const QByteArray state = (prefix + QLatin1Char('/') + id + QStringLiteral("/state")).toUtf8();

  EXPECT_EQ(read(silent)[QLatin1String("error")].toString(), QStringLiteral("No device"));
  // Nobody knows who did not answer: only the address is said to be offline.
  EXPECT_EQ(UnderPrefix(), (QMap<QByteArray, QByteArray>{{Availability(), "offline"}}));

  EXPECT_TRUE(
      read(missingBlocks)[QLatin1String("error")].toString().startsWith(QStringLiteral("incomplete log")));
  QMap<QByteArray, QByteArray> published = UnderPrefix();
  EXPECT_TRUE(published.contains(state));
  EXPECT_EQ(published.value(Availability()), "offline");

  EXPECT_TRUE(read(Device(43))[QLatin1String("error")].isNull());
  EXPECT_EQ(UnderPrefix().value(Availability()), "online");

  read(silent);
  published = UnderPrefix();
  EXPECT_EQ(published.value(Availability()), "offline");
  EXPECT_TRUE(published.contains(state));
}

// vald_read killed or cut off from the broker while it publishes: the broker tells the connection's
// last will, the device offline.
TEST_F(ValdReadMqtt, DroppedConnectionLeavesTheDeviceOffline) {
  const BrokerLocation broker = ParseBrokerLocation(Variable("VALD_TEST_MQTT_URL"));
  BrokerSubscriber watcher(broker, {QString::fromUtf8(Availability())});
  CuttingProxy proxy(broker.host, broker.port);
  const RunningSimulator device(Device(43));
  const ProcessResult result =
      Read(device.Port(), {QStringLiteral("--archive"), QStringLiteral("off"), QStringLiteral("--json"),
                           QStringLiteral("--mqtt"),
                           QStringLiteral("mqtt://127.0.0.1:%1/%2").arg(proxy.Port()).arg(prefix)});
  ASSERT_TRUE(proxy.Cut());
  EXPECT_EQ(result.exitCode, 1);
  // vald_read never learnt that it was connected, so it published nothing: the broker did.
  EXPECT_TRUE(Json(result.out.toUtf8())[QLatin1String("mqtt")].toString().startsWith(
      QStringLiteral("cannot connect to 127.0.0.1:%1").arg(proxy.Port())))
      << result.out.toStdString();
  EXPECT_EQ(watcher.Next(Availability()), "offline");
  EXPECT_EQ(UnderPrefix(), (QMap<QByteArray, QByteArray>{{Availability(), "offline"}}));
}

// The problem sensor is on while an alarm runs up to the device's newest record.
TEST_F(ValdReadMqtt, ProblemWhileAnAlarmIsOpen) {
  const RunningSimulator device(Device(43));
  // Every temperature and humidity is above its limit.
  out.Write(QStringLiteral("above.csv"), "*;1;;-1000\n*;2;;-1000\n");
  const ProcessResult result =
      Read(device.Port(), {QStringLiteral("--archive"), QStringLiteral("off"), QStringLiteral("--limits"),
                           out.File(QStringLiteral("above.csv")), QStringLiteral("--mqtt"),
                           Variable("VALD_TEST_MQTT_URL") + QLatin1Char('/') + prefix});
  EXPECT_EQ(result.exitCode, 3) << result.out.toStdString() << result.err.toStdString();
  const QString id = mac.toLower().remove(QLatin1Char(':'));
  const QMap<QByteArray, QByteArray> published = Published(id);
  EXPECT_EQ(
      Json(published.value(
          (prefix + QLatin1Char('/') + id + QStringLiteral("/state")).toUtf8()))[QLatin1String("problem")],
      QJsonValue(true));
  EXPECT_EQ(published.value(Availability()), "online");
}

}  // namespace
