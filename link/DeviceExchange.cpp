#include "link/DeviceExchange.h"

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
    socket_->Socket().disconnect(this);
    ended_ = std::move(socket_);
  }
  capacity_ = capacity;
  try {
    socket_ = std::make_unique<ExchangeSocket>(link, datagram);
  } catch (const ValdError& error) {
    QMetaObject::invokeMethod(
        this, [this, text = error.Message()] { emit Finished({}, text); }, Qt::QueuedConnection);
    return;
  }
  QUdpSocket& socket = socket_->Socket();
  connect(&socket, &QUdpSocket::readyRead, this, &DeviceExchange::TakeReply);
  connect(&socket, &QUdpSocket::errorOccurred, this, [this] {
    try {
      Finish(socket_->NoReplyUnlessFailed(), {});
    } catch (const ValdError& error) {
      Finish({}, error.Message());
    }
  });
  deadline_.start(timeoutMs);
}

void DeviceExchange::TakeReply() {
  try {
    if (const std::optional<QByteArray> reply = socket_->TakeReply(capacity_)) Finish(*reply, {});
  } catch (const ValdError& error) {
    Finish({}, error.Message());
  }
}

void DeviceExchange::Finish(const QByteArray& reply, const QString& error) {
  if (!socket_) return;
  deadline_.stop();
  socket_->Socket().disconnect(this);
  socket_->Socket().close();
  ended_ = std::move(socket_);
  emit Finished(reply, error);
}
