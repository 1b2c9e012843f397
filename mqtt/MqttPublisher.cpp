#include "mqtt/MqttPublisher.h"

#include <mosquitto.h>

#include <QElapsedTimer>
#include <cerrno>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <set>

#include "core/ValdError.h"

namespace {

constexpr int KeepAliveSeconds = 60;
constexpr int AtLeastOnce = 1;

// What the broker has said so far on one connection; libmosquitto's callbacks fill it in.
struct Session {
  bool connected = false;
  std::optional<int> refusal;    // the reason code of a refused connection
  std::set<int> unacknowledged;  // message ids the broker has not acknowledged yet
  std::optional<int> rejection;  // the reason code of the first message the broker did not take
  QString lastError;             // the library's last error report (a TLS failure's details)
};

void OnConnect(mosquitto*, void* session, int reason, int, const mosquitto_property*) {
  auto& s = *static_cast<Session*>(session);
  if (reason == 0) {
    s.connected = true;
  } else {
    s.refusal = reason;
  }
}

void OnPublish(mosquitto*, void* session, int messageId, int reason, const mosquitto_property*) {
  auto& s = *static_cast<Session*>(session);
  s.unacknowledged.erase(messageId);
  // Reason codes from 128 on are failures; below that the message was taken.
  if (reason >= 128 && !s.rejection) s.rejection = reason;
}

void OnLog(mosquitto*, void* session, int level, const char* text) {
  if (level == MOSQ_LOG_ERR) static_cast<Session*>(session)->lastError = QString::fromUtf8(text);
}

void InitialiseLibrary() {
  static std::once_flag once;
  std::call_once(once, [] { mosquitto_lib_init(); });
}

using Client = std::unique_ptr<mosquitto, decltype(&mosquitto_destroy)>;

}  // namespace

MqttPublisher::MqttPublisher(BrokerLocation broker) : broker_(std::move(broker)) {}

void MqttPublisher::Publish(const std::vector<MqttMessage>& messages, const MqttMessage& lastWill) const {
  InitialiseLibrary();
  const QString broker = broker_.Describe();
  Session session;
  const Client client(mosquitto_new(nullptr, true, &session), &mosquitto_destroy);
  if (!client) throw ValdError(QStringLiteral("cannot make an MQTT client: %1").arg(strerror(errno)));
  mosquitto* mosq = client.get();
  mosquitto_int_option(mosq, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V5);
  mosquitto_connect_v5_callback_set(mosq, OnConnect);
  mosquitto_publish_v5_callback_set(mosq, OnPublish);
  mosquitto_log_callback_set(mosq, OnLog);
  if (!broker_.user.isEmpty()) {
    mosquitto_username_pw_set(mosq, broker_.user.toUtf8().constData(),
                              broker_.password.isEmpty() ? nullptr : broker_.password.toUtf8().constData());
  }
  if (broker_.tls) mosquitto_int_option(mosq, MOSQ_OPT_TLS_USE_OS_CERTS, 1);
  const int will = mosquitto_will_set_v5(mosq, lastWill.topic.constData(), int(lastWill.payload.size()),
                                         lastWill.payload.constData(), AtLeastOnce, true, nullptr);

  // A library or socket failure, with the detail the library reported.
  const auto failure = [&](int code) {
    QString reason = code == MOSQ_ERR_ERRNO ? QString::fromLocal8Bit(strerror(errno))
                                            : QString::fromUtf8(mosquitto_strerror(code));
    if (!session.lastError.isEmpty()) reason += QStringLiteral(" (%1)").arg(session.lastError);
    return ValdError(session.connected ? QStringLiteral("the connection to %1 failed: %2").arg(broker, reason)
                                       : QStringLiteral("cannot connect to %1: %2").arg(broker, reason));
  };
  if (will != MOSQ_ERR_SUCCESS) throw failure(will);
  QElapsedTimer clock;
  clock.start();
  // Runs the client until `done` holds; throws when the connection fails or time runs out.
  const auto runUntil = [&](const auto& done) {
    while (!done()) {
      const qint64 left = TimeLimitMs - clock.elapsed();
      if (left <= 0) {
        throw ValdError(QStringLiteral("no answer from %1 within %2 s").arg(broker).arg(TimeLimitMs / 1000));
      }
      const int code = mosquitto_loop(mosq, int(left), 1);
      // A refusal ends the loop with an error of its own; the broker's reason says more.
      if (session.refusal) {
        throw ValdError(QStringLiteral("%1 refused the connection: %2")
                            .arg(broker, QString::fromUtf8(mosquitto_reason_string(*session.refusal))));
      }
      if (code != MOSQ_ERR_SUCCESS) throw failure(code);
    }
  };

  const int connected =
      mosquitto_connect_async(mosq, broker_.host.toUtf8().constData(), broker_.port, KeepAliveSeconds);
  if (connected != MOSQ_ERR_SUCCESS) throw failure(connected);
  runUntil([&] { return session.connected; });
  for (const MqttMessage& message : messages) {
    int messageId = 0;
    const int published =
        mosquitto_publish(mosq, &messageId, message.topic.constData(), int(message.payload.size()),
                          message.payload.constData(), AtLeastOnce, true);
    if (published != MOSQ_ERR_SUCCESS) throw failure(published);
    session.unacknowledged.insert(messageId);
  }
  runUntil([&] { return session.unacknowledged.empty(); });
  mosquitto_disconnect(mosq);
  if (session.rejection) {
    throw ValdError(QStringLiteral("%1 did not take the messages: %2")
                        .arg(broker, QString::fromUtf8(mosquitto_reason_string(*session.rejection))));
  }
}
