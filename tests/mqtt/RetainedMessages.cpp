#include "RetainedMessages.h"

#include <gtest/gtest.h>
#include <mosquitto.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QList>
#include <algorithm>
#include <utility>

struct BrokerSubscriber::Session {
  QString broker;
  bool connected = false;
  int subscribed = 0;
  QByteArray marker;
  bool markerSeen = false;
  QMap<QByteArray, QByteArray> retained;
  QList<std::pair<QByteArray, QByteArray>> arrived;  // every other message, in order
};

namespace {

constexpr int AnswerLimitMs = 10000;

void OnConnect(mosquitto*, void* session, int reason) {
  static_cast<BrokerSubscriber::Session*>(session)->connected = reason == 0;
}

void OnSubscribe(mosquitto*, void* session, int, int, const int*) {
  ++static_cast<BrokerSubscriber::Session*>(session)->subscribed;
}

void OnMessage(mosquitto*, void* session, const mosquitto_message* message) {
  auto& s = *static_cast<BrokerSubscriber::Session*>(session);
  const QByteArray topic(message->topic);
  const QByteArray payload(static_cast<const char*>(message->payload), message->payloadlen);
  if (topic == s.marker) {
    s.markerSeen = true;
  } else {
    if (message->retain) s.retained.insert(topic, payload);
    s.arrived.append({topic, payload});
  }
}

// Runs the client until `done` holds; false, with a test failure, when the broker fails or is too late.
template <typename Done>
bool RunUntil(mosquitto* mosq, const QString& broker, const Done& done) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > AnswerLimitMs) {
      ADD_FAILURE() << "no answer from the broker at " << broker.toStdString();
      return false;
    }
    if (mosquitto_loop(mosq, 100, 1) != MOSQ_ERR_SUCCESS) {
      ADD_FAILURE() << "the connection to the broker failed";
      return false;
    }
  }
  return true;
}

}  // namespace

BrokerSubscriber::BrokerSubscriber(const BrokerLocation& broker, const QStringList& filters)
    : session_(std::make_unique<Session>()) {
  static const int initialised = mosquitto_lib_init();
  EXPECT_EQ(initialised, MOSQ_ERR_SUCCESS);
  static int subscribers = 0;
  session_->broker = broker.Describe();
  session_->marker =
      "vald-test/marker/" + QByteArray::number(getpid()) + '/' + QByteArray::number(++subscribers);
  mosq_ = mosquitto_new(nullptr, true, session_.get());
  mosquitto_connect_callback_set(mosq_, OnConnect);
  mosquitto_subscribe_callback_set(mosq_, OnSubscribe);
  mosquitto_message_callback_set(mosq_, OnMessage);
  if (mosquitto_connect(mosq_, broker.host.toUtf8().constData(), broker.port, 60) != MOSQ_ERR_SUCCESS ||
      !RunUntil(mosq_, session_->broker, [&] { return session_->connected; })) {
    ADD_FAILURE() << "cannot connect to " << session_->broker.toStdString();
    return;
  }
  const QStringList topics = filters + QStringList{QString::fromLatin1(session_->marker)};
  for (const QString& topic : topics) mosquitto_subscribe(mosq_, nullptr, topic.toUtf8().constData(), 0);
  RunUntil(mosq_, session_->broker, [&] { return session_->subscribed == topics.size(); });
}

BrokerSubscriber::~BrokerSubscriber() {
  if (session_->connected) mosquitto_disconnect(mosq_);
  mosquitto_destroy(mosq_);
}

QByteArray BrokerSubscriber::Next(const QByteArray& topic) {
  const auto find = [&] {
    return std::find_if(session_->arrived.begin(), session_->arrived.end(),
                        [&](const auto& message) { return message.first == topic; });
  };
  if (!session_->connected ||
      !RunUntil(mosq_, session_->broker, [&] { return find() != session_->arrived.end(); }))
    return {};
  const QByteArray payload = find()->second;
  session_->arrived.erase(find());
  return payload;
}

QMap<QByteArray, QByteArray> BrokerSubscriber::Retained() {
  if (!session_->connected) return {};
  // The broker sends a filter's retained messages when it takes the subscription, so they come before
  // a message published after it.
  session_->markerSeen = false;
  mosquitto_publish(mosq_, nullptr, session_->marker.constData(), 0, nullptr, 0, false);
  RunUntil(mosq_, session_->broker, [&] { return session_->markerSeen; });
  return session_->retained;
}

QMap<QByteArray, QByteArray> RetainedMessages(const BrokerLocation& broker, const QStringList& filters) {
  return BrokerSubscriber(broker, filters).Retained();
}
