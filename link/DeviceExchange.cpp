#include "link/DeviceExchange.h"

#include <QPointer>
#include <utility>

#include "core/ValdError.h"
#include "link/ExchangeSocket.h"

DeviceExchange::DeviceExchange(QObject* parent) : QObject(parent) {
  deadline_.setSingleShot(true);
  // The time-out is part of the protocol: a coarse timer could end an exchange 5 % late.
  deadline_.setTimerType(Qt::PreciseTimer);
  connect(&deadline_, &QTimer::timeout, this, [this] { Finish({}, {}); });
}

DeviceExchange::~DeviceExchange() = default;

void DeviceExchange::Start(const DeviceLink& link, const QByteArray& datagram, int timeoutMs, int capacity) {
  deadline_.stop();
  if (socket_) {
    socket_->StopNotifying();
    ended_ = std::move(socket_);
  }
  capacity_ = capacity;
  try {
    socket_ = TakeSocket(link);
    socket_->Send(datagram, link.port);
  } catch (const ValdError& error) {
    socket_.reset();
    QMetaObject::invokeMethod(
        this, [this, text = error.Message()] { emit Finished({}, text); }, Qt::QueuedConnection);
    return;
  }
  // A socket error wakes the notifier as a datagram does; TakeReply reports it.
  socket_->WhenReadable(this, [this] { TakeReply(); });
  deadline_.start(timeoutMs);
  expiry_.setRemainingTime(timeoutMs, Qt::PreciseTimer);
  if (ended_) ended_->Close();
  try {
    spare_ = OpenExchangeSocket(link);
  } catch (const ValdError&) {
    spare_.reset();
  }
}

std::unique_ptr<ExchangeSocket> DeviceExchange::TakeSocket(const DeviceLink& link) {
  if (spare_ && spare_->Host() == link.host) return std::move(spare_);
  return OpenExchangeSocket(link);
}

void DeviceExchange::TakeReply() {
  try {
    while (socket_ && socket_->HasDatagram()) {
      if (expiry_.hasExpired()) {
        Finish({}, {});
        return;
      }
      if (const std::optional<ExchangeReply> reply = socket_->TakeReply(capacity_)) {
        Finish(*reply, {});
        return;
      }
    }
  } catch (const ValdError& error) {
    Finish({}, error.Message());
  }
}

void DeviceExchange::Finish(const ExchangeReply& reply, const QString& error) {
  if (!socket_) return;
  deadline_.stop();
  socket_->StopNotifying();
  // The next exchange usually starts from here: the sockets are closed and destroyed after its request
  // is out.
  const std::unique_ptr<ExchangeSocket> before = std::exchange(ended_, std::move(socket_));
  const QPointer<DeviceExchange> alive(this);
  emit Finished(reply, error);
  if (alive && !socket_ && ended_) ended_->Close();
}
