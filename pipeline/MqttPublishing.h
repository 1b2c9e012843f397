#pragma once

#include <QString>
#include <QTimeZone>

#include "mqtt/MessagePublisher.h"
#include "readout/ReadoutSteps.h"
#include "watch/LogAlarms.h"

// What became of a readout's messages for the MQTT broker (vald_read --mqtt).
struct MqttOutcome {
  bool published = false;  // the broker took every message
  QString error;           // why it did not
};

// What the broker is told of a readout besides its log.
struct PublishedReadout {
  QString address;         // the host it was read at: its availability topic, its name without a MAC address
  QString mac;             // the MAC address it is known by; empty: none
  bool openAlarm = false;  // the device has an alarm still going on at its newest record
  QTimeZone zone;          // the site's time zone, which gives the state time its offset from UTC
  int expireAfterSeconds = DefaultExpireAfterSeconds;  // 0: the values hold until the next state
};

// Publishes the Home Assistant discovery messages of the device a readout read, the state message of
// its last record and, when the whole log arrived, "online" on its address's availability topic;
// the connection's last will is "offline" there. Never throws: a failure is the outcome.
MqttOutcome PublishReadout(const MessagePublisher& publisher, const ReadoutResult& result,
                           const PublishedReadout& readout);

// Publishes "offline" on the availability topic of `address`, where no device answered for a readout.
MqttOutcome PublishNoAnswer(const MessagePublisher& publisher, const QString& address);

// Whether one of `alarms` is still open: no value back inside its limit has ended it.
bool HasOpenAlarm(const LogAlarms& alarms);
