#include "RetainedMessages.h"

#include <gtest/gtest.h>
#include <mosquitto.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <memory>

namespace {

constexpr int AnswerLimitMs = 10000;

struct Subscription {
  bool connected = false;
  int subscribed = 0;
  QByteArray marker;
  bool markerSeen = false;
  QMap<QByteArray, QByteArray> retained;
};

void OnConnect(mosquitto*, void* subscription, int reason) {
  static_cast<Subscription*>(subscription)->connected = reason == 0;
}

void OnSubscribe(mosquitto*, void* subscription, int, int, const int*) {
  ++static_cast<Subscription*>(subscription)->subscribed;
}

void OnMessage(mosquitto*, void* subscription, const mosquitto_message* message) {
  auto& s = *static_cast<Subscription*>(subscription);
  const QByteArray topic(message->topic);
  if (topic == s.marker) {
    s.markerSeen = true;
  } else if (message->retain) {
    s.retained.insert(topic, QByteArray(static_cast<const char*>(message->payload), message->payloadlen));
  }
}

}  // namespace

QMap<QByteArray, QByteArray> RetainedMessages(const BrokerLocation& broker, const QStringList& filters) {
  static const int initialised = mosquitto_lib_init();
  EXPECT_EQ(initialised, MOSQ_ERR_SUCCESS);
  Subscription subscription;
  subscription.marker = "vald-test/marker/" + QByteArray::number(getpid());
  const std::unique_ptr<mosquitto, decltype(&mosquitto_destroy)> client(
      mosquitto_new(nullptr, true, &subscription), &mosquitto_destroy);
  mosquitto* mosq = client.get();
  mosquitto_connect_callback_set(mosq, OnConnect);
  mosquitto_subscribe_callback_set(mosq, OnSubscribe);
  mosquitto_message_callback_set(mosq, OnMessage);
  QElapsedTimer clock;
  clock.start();
  const auto runUntil = [&](const auto& done) {
    while (!done()) {
      if (clock.elapsed() > AnswerLimitMs) {
        ADD_FAILURE() << "no answer from the broker at " << broker.Describe().toStdString();
        return false;
      }
      if (mosquitto_loop(mosq, 100, 1) != MOSQ_ERR_SUCCESS) {
        ADD_FAILURE() << "the connection to the broker failed";
        return false;
      }
    }
    return true;
  };

  if (mosquitto_connect(mosq, broker.host.toUtf8().constData(), broker.port, 60) != MOSQ_ERR_SUCCESS ||
      !runUntil([&] { return subscription.connected; })) {
    ADD_FAILURE() << "cannot connect to " << broker.Describe().toStdString();
    return {};
  }
  const QStringList topics = filters + QStringList{QString::fromLatin1(subscription.marker)};
  for (const QString& topic : topics) mosquitto_subscribe(mosq, nullptr, topic.toUtf8().constData(), 0);
  if (!runUntil([&] { return subscription.subscribed == topics.size(); })) return {};
  // The broker sends a filter's retained messages when it takes the subscription, so they come before
  // a message published after it.
  mosquitto_publish(mosq, nullptr, subscription.marker.constData(), 0, nullptr, 0, false);
  runUntil([&] { return subscription.markerSeen; });
  mosquitto_disconnect(mosq);
  return subscription.retained;
}
