#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QString>
#include <QUdpSocket>
#include <optional>

#include "link/DeviceLink.h"
#include "link/ExchangeReply.h"

// The socket of one exchange and the rules every exchange follows, whether its caller waits blocking
// or on the event loop: a fresh socket on a port the system chooses (a reply that comes after an
// earlier exchange gave up went to that exchange's port and is never read here), one datagram out,
// the first datagram from the device's address taken as the reply (any sender when the host is a
// broadcast address), at most `capacity` bytes of it read, with the length it really had.
class ExchangeSocket {
 public:
  // Resolves the host and binds the socket. Throws ValdError naming the host.
  explicit ExchangeSocket(const DeviceLink& link);

  const QString& Host() const { return host_; }
  QUdpSocket& Socket() { return socket_; }

  // Sends `datagram` to the device, once per socket. Whatever reached the socket before is dropped
  // first: it cannot be a reply to this request. Throws ValdError naming the host.
  void Send(const QByteArray& datagram, uint16_t port);

  // Reads one datagram waiting on the socket (there must be one), so that the caller looks at its deadline
  // between datagrams: a stream of datagrams from other senders must not hold an exchange past its time-out.
  // Returns the reply when the datagram is the device's; an empty reply also when the read failed
  // because nothing listens on the port. Nothing for another sender's datagram. Throws ValdError on
  // any other socket error.
  std::optional<ExchangeReply> TakeReply(int capacity);

  // A wait that failed: a port that nothing listens on (the system reports it unreachable) is no
  // reply, as a silent device is; any other failure throws ValdError.
  ExchangeReply NoReplyUnlessFailed() const;

 private:
  QString host_;
  QHostAddress device_;
  // Asked only when a datagram comes from another address: listing the interfaces takes time.
  std::optional<bool> anySender_;
  QUdpSocket socket_;
};
