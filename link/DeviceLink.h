#pragma once

#include <QString>
#include <cstdint>

#include "link/ExchangeReply.h"

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

  // Sends `datagram` as one datagram and waits up to timeoutMs for one reply. Returns at most `capacity`
  // bytes of it with its true length (an empty reply when nothing arrived in time or nothing listens on
  // the port), so a longer reply is the caller's to judge by the length.
  // Datagrams from other addresses than the device's are passed over, unless the host is a broadcast
  // address; a datagram read after the time-out is no reply, however many came before it. Throws
  // ValdError naming the host on a socket error or an unresolvable host.
  ExchangeReply Exchange(const QByteArray& datagram, int timeoutMs, int capacity);
};
