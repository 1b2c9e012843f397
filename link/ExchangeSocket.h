#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
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
  virtual ~ExchangeSocket() = default;

  virtual const QString& Host() const = 0;
  // The socket as a device: its readyRead signal, its wait and its close.
  virtual QIODevice& Device() = 0;
  virtual uint16_t LocalPort() const = 0;

  // Sends `datagram` to the device, once per socket. Whatever reached the socket before is dropped
  // first: it cannot be a reply to this request. Throws ValdError naming the host.
  virtual void Send(const QByteArray& datagram, uint16_t port) = 0;

  virtual bool HasDatagram() = 0;
  // Waits up to timeoutMs for a datagram. False only when the wait failed for another reason than the
  // time (NoReplyUnlessFailed tells which).
  virtual bool WaitForDatagram(int timeoutMs) = 0;

  // Reads one datagram waiting on the socket (there must be one), so that the caller looks at its deadline
  // between datagrams: a stream of datagrams from other senders must not hold an exchange past its time-out.
  // Returns the reply when the datagram is the device's; an empty reply also when the read failed
  // because nothing listens on the port. Nothing for another sender's datagram. Throws ValdError on
  // any other socket error.
  virtual std::optional<ExchangeReply> TakeReply(int capacity) = 0;

  // A wait that failed: a port that nothing listens on (the system reports it unreachable) is no
  // reply, as a silent device is; any other failure throws ValdError.
  virtual ExchangeReply NoReplyUnlessFailed() const = 0;

  // `failed` runs in `context`'s thread when the socket reports an error, until the socket is
  // disconnected from `context`.
  virtual void WhenFailed(QObject* context, std::function<void()> failed) = 0;
};

// A socket for an exchange with the device of `link`: the host resolved, the socket bound. Throws
// ValdError naming the host.
std::unique_ptr<ExchangeSocket> OpenExchangeSocket(const DeviceLink& link);
