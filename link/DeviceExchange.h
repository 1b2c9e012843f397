#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>

#include "link/DeviceLink.h"

class ExchangeSocket;

// One exchange that waits on the event loop instead of blocking it: the reply is taken when the socket
// signals it, the time-out is a timer. Same rules as DeviceLink::Exchange (ExchangeSocket).
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
  // The reply (empty: nothing arrived in time or nothing listens on the port), or the text of the error
  // that ended the exchange.
  void Finished(const QByteArray& reply, const QString& error);

 private:
  void TakeReply();
  void Finish(const QByteArray& reply, const QString& error);

  std::unique_ptr<ExchangeSocket> socket_;
  // The socket of the exchange that ended last: it may be the one whose signal is being handled, so it
  // is destroyed only when the next exchange ends.
  std::unique_ptr<ExchangeSocket> ended_;
  QTimer deadline_;
  int capacity_ = 0;
};
