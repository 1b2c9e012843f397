#pragma once

#include <QString>
#include <cstdint>

// The MQTT broker a run publishes to, from "mqtt://user@host:port/prefix" or "mqtts://...". The
// address never carries the password: it comes from the environment (VALD_MQTT_PASSWORD), so that it
// shows neither in the process list nor in a file of the command line.
struct BrokerLocation {
  bool tls = false;  // mqtts: TLS, the server checked against the system's certificate authorities
  QString user;      // empty: no user name
  QString password;  // empty: none
  QString host;
  uint16_t port = 1883;
  QString prefix;  // the topic every state message goes under

  // The broker as messages name it: "host:port".
  QString Describe() const;

  static constexpr uint16_t DefaultPort = 1883;
  static constexpr uint16_t DefaultTlsPort = 8883;
};

inline constexpr char MqttPasswordVariable[] = "VALD_MQTT_PASSWORD";
inline constexpr char DefaultTopicPrefix[] = "vald";

// Reads a broker URL, without a password. A URL without a path publishes under "vald". Throws ValdError
// for a URL that names no broker, holds a password, a query or a prefix that is no topic (an empty
// level, the wildcards + and #).
BrokerLocation ParseBrokerLocation(const QString& text);
