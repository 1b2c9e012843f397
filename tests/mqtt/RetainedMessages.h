#pragma once

#include <QByteArray>
#include <QMap>
#include <QStringList>
#include <memory>

#include "mqtt/BrokerLocation.h"

struct mosquitto;

// A test's own client of the broker, connected and subscribed to `filters` once made. The broker's
// messages wait on its socket until asked for; a broker that does not answer within ten seconds is a
// test failure.
class BrokerSubscriber {
 public:
  BrokerSubscriber(const BrokerLocation& broker, const QStringList& filters);
  ~BrokerSubscriber();
  BrokerSubscriber(const BrokerSubscriber&) = delete;
  BrokerSubscriber& operator=(const BrokerSubscriber&) = delete;

  // The payload of the next message on `topic` (a retained one sent on subscribing included), empty when
  // none came within the time limit.
  QByteArray Next(const QByteArray& topic);
  // The retained messages of the filters (topic and payload), as the broker sent them on subscribing:
  // a marker message published now comes after every one of them.
  QMap<QByteArray, QByteArray> Retained();

  struct Session;

 private:
  std::unique_ptr<Session> session_;
  mosquitto* mosq_ = nullptr;
};

// The retained messages the broker holds under the topic filters, as a new subscriber gets them.
QMap<QByteArray, QByteArray> RetainedMessages(const BrokerLocation& broker, const QStringList& filters);
