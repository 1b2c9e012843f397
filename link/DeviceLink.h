#pragma once

#include <QString>
#include <cstdint>

// The device endpoint: UDP host and port of the device being talked to. Every exchange with a device
// follows the rules of ExchangeSocket: a fresh socket (broadcast permitted), the host resolved, one
// datagram out, at most one datagram in within the time-out, the socket closed afterwards. Exchange
// waits blocking; DeviceExchange waits on the event loop.
class DeviceLink {
 public:
  static constexpr uint16_t DefaultPort = 6262;
  static constexpr int ReplyTimeoutMs = 400;
  static constexpr int ReplyTextTimeoutMs = 200;

  QString host = QStringLiteral("192.168.1.100");
  uint16_t port = DefaultPort;

  // Sends `datagram` as one datagram and waits up to timeoutMs for one reply, copied into `reply`
  // (at most `capacity` bytes). Returns the reply's length, 0 when nothing arrived in time or nothing
  // listens on the port. Datagrams from other addresses than the device's are passed over, unless the
  // host is a broadcast address.
  // Throws ValdError naming the host or the size on a socket error, an unresolvable host, or a
  // reply larger than `capacity`.
  int Exchange(const QByteArray& datagram, int timeoutMs, uint8_t* reply, int capacity);
};
