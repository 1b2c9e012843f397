#include "link/ExchangeSocket.h"

#include <QHostInfo>
#include <QLoggingCategory>
#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QNetworkProxy>

#include "core/ValdError.h"

Q_LOGGING_CATEGORY(lcLink, "vald.link", QtWarningMsg)

namespace {

QHostAddress ResolveHost(const QString& host) {
  const QHostAddress literal(host);
  if (!literal.isNull()) return literal;
  const QHostInfo info = QHostInfo::fromName(host);
  const QList<QHostAddress> addresses = info.addresses();
  if (info.error() != QHostInfo::NoError || addresses.isEmpty()) {
    throw ValdError(QStringLiteral("Cannot resolve host '%1'. %2").arg(host, info.errorString()));
  }
  // Devices speak IPv4; take an IPv4 address when the name has one.
  for (const QHostAddress& address : addresses) {
    if (address.protocol() == QAbstractSocket::IPv4Protocol) return address;
  }
  return addresses.first();
}

// A reply to a broadcast request comes from the device's own address, so any sender is accepted then.
bool IsBroadcast(const QHostAddress& address) {
  if (address == QHostAddress::Broadcast) return true;
  for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
    for (const QNetworkAddressEntry& entry : interface.addressEntries()) {
      if (!entry.broadcast().isNull() && entry.broadcast() == address) return true;
    }
  }
  return false;
}

}  // namespace

ExchangeSocket::ExchangeSocket(const DeviceLink& link, const QByteArray& datagram)
    : host_(link.host), device_(ResolveHost(link.host)) {
  // The device is on the local network: no proxy lookup for every exchange.
  socket_.setProxy(QNetworkProxy::NoProxy);
  const QHostAddress local =
      device_.protocol() == QAbstractSocket::IPv6Protocol ? QHostAddress::AnyIPv6 : QHostAddress::AnyIPv4;
  // Qt permits broadcast on every UDP socket.
  if (!socket_.bind(local, 0)) {
    throw ValdError(QStringLiteral("Socket error talking to %1: %2").arg(host_, socket_.errorString()));
  }
  if (socket_.writeDatagram(datagram, device_, link.port) != datagram.size()) {
    throw ValdError(QStringLiteral("Socket error sending to %1: %2").arg(host_, socket_.errorString()));
  }
  qCDebug(lcLink) << "sent" << datagram.size() << "bytes to" << device_ << link.port;
}

std::optional<QByteArray> ExchangeSocket::TakeReply(int capacity) {
  while (socket_.hasPendingDatagrams()) {
    const QNetworkDatagram received = socket_.receiveDatagram();
    if (!received.isValid()) return NoReplyUnlessFailed();
    if (!received.senderAddress().isEqual(device_, QHostAddress::TolerantConversion)) {
      if (!anySender_) anySender_ = IsBroadcast(device_);
      if (!*anySender_) {
        qCDebug(lcLink) << "ignored a datagram from" << received.senderAddress();
        continue;
      }
    }
    const QByteArray data = received.data();
    if (data.size() > capacity) {
      throw ValdError(QStringLiteral("The reply from %1 is %2 bytes long; at most %3 bytes fit the "
                                     "receive buffer")
                          .arg(host_)
                          .arg(data.size())
                          .arg(capacity));
    }
    qCDebug(lcLink) << "received" << data.size() << "bytes from" << received.senderAddress();
    return data;
  }
  return std::nullopt;
}

QByteArray ExchangeSocket::NoReplyUnlessFailed() const {
  if (socket_.error() != QAbstractSocket::ConnectionRefusedError) {
    throw ValdError(QStringLiteral("Socket error receiving from %1: %2").arg(host_, socket_.errorString()));
  }
  qCDebug(lcLink) << "nothing listens on" << host_;
  return {};
}
