#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>

#include "link/DeviceLink.h"
#include "link/ExchangeReply.h"

class ExchangeSocket;

// One exchange that waits on the event loop instead of blocking it: the reply is taken when the socket
// signals it, the time-out is a timer. Same rules as DeviceLink::Exchange (ExchangeSocket). Exchanges
// follow each other closely in a readout, so the socket of the next one is bound while this one waits,
// and an ended socket is closed once the next request is out: between a reply and the next request only
// the request is sent.
class DeviceExchange : public QObject {
  Q_OBJECT
 public:
  explicit DeviceExchange(QObject* parent = nullptr);
  ~DeviceExchange() override;

  // Sends `datagram` to the device of `link` and waits up to timeoutMs for its reply. Finished follows
  // from the event loop, never from within Start. An exchange still in flight is dropped.
  void Start(const DeviceLink& link, const QByteArray& datagram, int timeoutMs, int capacity);
  bool InFlight() const { return socket_ != nullptr; }

 signals:
  // The reply (empty: nothing arrived in time or nothing listens on the port; at most `capacity` bytes
  // of it, with its true length), or the text of the error that ended the exchange.
  void Finished(const ExchangeReply& reply, const QString& error);

 private:
  std::unique_ptr<ExchangeSocket> TakeSocket(const DeviceLink& link);
  void TakeReply();
  void Finish(const ExchangeReply& reply, const QString& error);

  std::unique_ptr<ExchangeSocket> socket_;
  // Bound for the next exchange with the same host; none when binding failed (the next exchange
  // tries again and reports it).
  std::unique_ptr<ExchangeSocket> spare_;
  // The socket of the exchange that ended last: it may be the one whose signal is being handled, so it
  // is destroyed only when the next exchange ends.
  std::unique_ptr<ExchangeSocket> ended_;
  QTimer deadline_;
  // The same time-out, looked at between datagrams that come faster than the timer gets its turn.
  QDeadlineTimer expiry_;
  int capacity_ = 0;
};
