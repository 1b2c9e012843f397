// vald_read --mqtt against a real broker (scripts/with-mosquitto.sh): what it publishes is read back by
// a subscriber of its own; a broker that does not take the messages leaves file and archive as usual.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>

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
    config.identityReply = identity.isEmpty() ? mac.toLatin1() + ";SN0001;R-17" : identity;
    return config;
  }

  // vald_read of the device on `port` into `out`, its password only from `environment`.
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
                                              QStringLiteral(",")} +
                                  options + QStringList{QStringLiteral("127.0.0.1")};
    return RunProgram(QStringLiteral(VALD_READ_PATH), arguments, system);
  }

  // What a new subscriber to the test broker gets for the discovery and the state of `deviceId`.
  QMap<QByteArray, QByteArray> Published(const QString& deviceId) const {
    QMap<QByteArray, QByteArray> messages =
        RetainedMessages(ParseBrokerLocation(Variable("VALD_TEST_MQTT_URL")),
                         {QStringLiteral("homeassistant/sensor/#"), prefix + QStringLiteral("/#")});
    const QByteArray discovery = "homeassistant/sensor/" + deviceId.toUtf8() + '_';
    const QByteArray state = (prefix + QLatin1Char('/') + deviceId + QLatin1Char('/')).toUtf8();
    messages.removeIf([&](const auto& message) {
      return !message.key().startsWith(discovery) && !message.key().startsWith(state);
    });
    return messages;
  }

  TempFolder out;
  QString mac;
  QString prefix;
};

// The state a device's last measurement line gives: its time and each column in its quantity's unit.
QJsonObject StateOfLastLine(const QByteArray& file, const DeviceType& type) {
  const QList<QByteArray> lines = file.trimmed().split('\n');
  const QList<QByteArray> fields = lines.last().trimmed().split(';');
  QJsonObject state{
      {QStringLiteral("time"), QString::fromLatin1(fields[0] + '-' + fields[1] + '-' + fields[2] + 'T' +
                                                   fields[3] + ':' + fields[4])}};
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
  QByteArray identity;  // empty: the test's MAC address
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
  const ProcessResult result =
      Read(device.Port(),
           {QStringLiteral("--archive"), QStringLiteral("off"), QStringLiteral("--json"),
            QStringLiteral("--mqtt"), Variable(c.urlVariable) + QLatin1Char('/') + prefix},
           environment);
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
  ASSERT_EQ(published.size(), type.ValueColumns() + 1) << published.keys().join(' ').toStdString();
  for (auto it = published.begin(); it != published.end(); ++it) {
    if (it.key() == stateTopic) continue;
    const QJsonObject config = Json(it.value());
    EXPECT_EQ(it.key(),
              "homeassistant/sensor/" + config[QLatin1String("unique_id")].toString().toUtf8() + "/config");
    EXPECT_EQ(config[QLatin1String("state_topic")].toString().toUtf8(), stateTopic);
    EXPECT_EQ(config[QLatin1String("device")][QLatin1String("identifiers")].toArray(),
              QJsonArray{deviceMac.isEmpty() ? id : deviceMac});
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
    testing::Values(PublishedCase{"Climate", 43, "VALD_TEST_MQTT_URL", false, false, {}},
                    PublishedCase{"EnergyMeterWithPassword", 55, "VALD_TEST_MQTT_AUTH_URL", true, false, {}},
                    PublishedCase{"ParticulateOverTls", 50, "VALD_TEST_MQTT_TLS_URL", false, true, {}},
                    PublishedCase{"DeviceWithoutMac", 21, "VALD_TEST_MQTT_URL", false, false, "no identity"}),
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

TEST_F(ValdReadMqtt, NoDevicePublishesNothing) {
  SimulatorConfig silent = Device(43);
  silent.silent = true;
  const RunningSimulator device(silent);
  const ProcessResult result =
      Read(device.Port(), {QStringLiteral("--json"), QStringLiteral("--mqtt"),
                           Variable("VALD_TEST_MQTT_URL") + QLatin1Char('/') + prefix});
  EXPECT_EQ(result.exitCode, 1);
  const QJsonObject line = Json(result.out.toUtf8());
  EXPECT_EQ(line[QLatin1String("error")].toString(), QStringLiteral("No device"));
  EXPECT_TRUE(line.contains(QLatin1String("mqtt")) && line[QLatin1String("mqtt")].isNull())
      << result.out.toStdString();
  EXPECT_TRUE(
      RetainedMessages(ParseBrokerLocation(Variable("VALD_TEST_MQTT_URL")), {prefix + QStringLiteral("/#")})
          .isEmpty());
}

}  // namespace
