#pragma once

#include <QByteArray>
#include <QMap>
#include <QStringList>

#include "mqtt/BrokerLocation.h"

// The retained messages the broker holds under the topic filters, as a new subscriber gets them
// (topic and payload). A marker message published after the subscription tells that every retained
// message has come; a broker that does not answer within ten seconds is a test failure.
QMap<QByteArray, QByteArray> RetainedMessages(const BrokerLocation& broker, const QStringList& filters);
