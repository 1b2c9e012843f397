#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "link/DeviceLink.h"
#include "link/ExchangeReply.h"

class QSocketNotifier;
struct SocketAddress;

// The socket of one exchange and the rules every exchange follows, whether its caller waits blocking
// or on the event loop: a fresh UDP socket of the operating system on a port the system chooses (a
// reply that comes after an earlier exchange gave up went to that exchange's port and is never read
// here), broadcast permitted, one datagram out, the first datagram from the device's address taken as
// the reply (any sender when the host is a broadcast address), at most `capacity` bytes of it read,
// with the length it really had. The window waits on it through Qt Core's socket notifier: no network
// library of Qt's is loaded for it.
class ExchangeSocket {
 public:
  // Resolves the host of `link` (an IPv4 or IPv6 address, or a name) and binds the socket. Throws
  // ValdError naming the host.
  explicit ExchangeSocket(const DeviceLink& link);
  ~ExchangeSocket();
  ExchangeSocket(const ExchangeSocket&) = delete;
  ExchangeSocket& operator=(const ExchangeSocket&) = delete;

  const QString& Host() const { return host_; }
  uint16_t LocalPort() const;

  // Sends `datagram` to the device, once per socket. Whatever reached the socket before is dropped
  // first: it cannot be a reply to this request. Throws ValdError naming the host.
  void Send(const QByteArray& datagram, uint16_t port);

  // A datagram waits, or the socket has an error to report (TakeReply says which).
  bool HasDatagram();
  // Waits up to timeoutMs for a datagram. False only when the wait failed for another reason than the
  // time (NoReplyUnlessFailed tells which).
  bool WaitForDatagram(int timeoutMs);

  // Reads one datagram waiting on the socket, so that the caller looks at its deadline between
  // datagrams: a stream of datagrams from other senders must not hold an exchange past its time-out.
  // Returns the reply when the datagram is the device's; an empty reply also when the read failed
  // because nothing listens on the port. Nothing for another sender's datagram or when none waits.
  // Throws ValdError on any other socket error.
  std::optional<ExchangeReply> TakeReply(int capacity);

  // A wait or read that failed: a port that nothing listens on (the system reports it unreachable) is
  // no reply, as a silent device is; any other failure throws ValdError.
  ExchangeReply NoReplyUnlessFailed() const;

  // `readable` runs in `context`'s thread while a datagram waits, until StopNotifying or Close.
  void WhenReadable(QObject* context, std::function<void()> readable);
  void StopNotifying();
  // Closes the socket; a datagram that comes later is dropped by the system.
  void Close();

 private:
  QString host_;
  std::optional<bool> anySender_;  // asked only when a datagram comes from another address
  std::unique_ptr<SocketAddress> device_;
  int descriptor_ = -1;
  int lastError_ = 0;
  std::unique_ptr<QSocketNotifier> notifier_;
};

// A socket for an exchange with the device of `link`: the host resolved, the socket bound. Throws
// ValdError naming the host.
std::unique_ptr<ExchangeSocket> OpenExchangeSocket(const DeviceLink& link);
