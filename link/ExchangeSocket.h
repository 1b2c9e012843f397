#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QString>
#include <QUdpSocket>
#include <optional>

#include "link/DeviceLink.h"

// The socket of one exchange and the rules every exchange follows, whether its caller waits blocking
// or on the event loop: a fresh socket on a port the system chooses (a reply that comes after an
// earlier exchange gave up went to that exchange's port and is never read here), one datagram out,
// the first datagram from the device's address taken as the reply (any sender when the host is a
// broadcast address), at most `capacity` bytes of it.
class ExchangeSocket {
 public:
  // Resolves the host, binds the socket and sends `datagram`. Throws ValdError naming the host.
  ExchangeSocket(const DeviceLink& link, const QByteArray& datagram);

  QUdpSocket& Socket() { return socket_; }

  // Reads the datagrams waiting on the socket. Returns the reply once the device's datagram is among
  // them; an empty reply also when the read failed because nothing listens on the port. Nothing while
  // the reply is still to come. Throws ValdError on any other socket error and on a reply larger than
  // `capacity`.
  std::optional<QByteArray> TakeReply(int capacity);

  // A wait that failed: a port that nothing listens on (the system reports it unreachable) is no
  // reply, as a silent device is; any other failure throws ValdError.
  QByteArray NoReplyUnlessFailed() const;

 private:
  QString host_;
  QHostAddress device_;
  // Asked only when a datagram comes from another address: listing the interfaces takes time.
  std::optional<bool> anySender_;
  QUdpSocket socket_;
};
