#include <QHostAddress>
#include <QHostInfo>
#include <QLoggingCategory>
#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QNetworkProxy>
#include <QUdpSocket>
#include <algorithm>

#include "core/ValdError.h"
#include "link/ExchangeSocket.h"

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

// An IPv4 sender as IPv4, even when a dual-stack socket reports it in IPv6 form.
QString SenderText(const QHostAddress& sender) {
  bool isIPv4 = false;
  const quint32 ipv4 = sender.toIPv4Address(&isIPv4);
  return isIPv4 ? QHostAddress(ipv4).toString() : sender.toString();
}

class UdpExchangeSocket : public ExchangeSocket {
 public:
  // Resolves the host and binds the socket. Throws ValdError naming the host.
  explicit UdpExchangeSocket(const DeviceLink& link);

  const QString& Host() const override { return host_; }
  QIODevice& Device() override { return socket_; }
  uint16_t LocalPort() const override { return socket_.localPort(); }
  void Send(const QByteArray& datagram, uint16_t port) override;
  bool HasDatagram() override { return socket_.hasPendingDatagrams(); }
  bool WaitForDatagram(int timeoutMs) override;
  std::optional<ExchangeReply> TakeReply(int capacity) override;
  ExchangeReply NoReplyUnlessFailed() const override;
  void WhenFailed(QObject* context, std::function<void()> failed) override;

 private:
  QString host_;
  QHostAddress device_;
  // Asked only when a datagram comes from another address: listing the interfaces takes time.
  std::optional<bool> anySender_;
  QUdpSocket socket_;
};

}  // namespace

UdpExchangeSocket::UdpExchangeSocket(const DeviceLink& link)
    : host_(link.host), device_(ResolveHost(link.host)) {
  // The device is on the local network: no proxy lookup for every exchange.
  socket_.setProxy(QNetworkProxy::NoProxy);
  const QHostAddress local =
      device_.protocol() == QAbstractSocket::IPv6Protocol ? QHostAddress::AnyIPv6 : QHostAddress::AnyIPv4;
  // Qt permits broadcast on every UDP socket.
  if (!socket_.bind(local, 0)) {
    throw ValdError(QStringLiteral("Socket error talking to %1: %2").arg(host_, socket_.errorString()));
  }
}

void UdpExchangeSocket::Send(const QByteArray& datagram, uint16_t port) {
  while (socket_.hasPendingDatagrams()) socket_.receiveDatagram(0);
  if (socket_.writeDatagram(datagram, device_, port) != datagram.size()) {
    throw ValdError(QStringLiteral("Socket error sending to %1: %2").arg(host_, socket_.errorString()));
  }
  qCDebug(lcLink) << "sent" << datagram.size() << "bytes to" << device_ << port;
}

std::optional<ExchangeReply> UdpExchangeSocket::TakeReply(int capacity) {
  // The true length first: only `capacity` bytes are read, and a longer reply is reported as such.
  const qint64 length = socket_.pendingDatagramSize();
  const QNetworkDatagram received = socket_.receiveDatagram(capacity);
  if (!received.isValid()) return NoReplyUnlessFailed();
  if (!received.senderAddress().isEqual(device_, QHostAddress::TolerantConversion)) {
    if (!anySender_) anySender_ = IsBroadcast(device_);
    if (!*anySender_) {
      qCDebug(lcLink) << "ignored a datagram from" << received.senderAddress();
      return std::nullopt;
    }
  }
  ExchangeReply reply{received.data().left(capacity), 0, SenderText(received.senderAddress())};
  reply.length = int(std::max(length, qint64(reply.bytes.size())));
  qCDebug(lcLink) << "received" << reply.length << "bytes from" << received.senderAddress();
  return reply;
}

ExchangeReply UdpExchangeSocket::NoReplyUnlessFailed() const {
  if (socket_.error() != QAbstractSocket::ConnectionRefusedError) {
    throw ValdError(QStringLiteral("Socket error receiving from %1: %2").arg(host_, socket_.errorString()));
  }
  qCDebug(lcLink) << "nothing listens on" << host_;
  return {};
}

bool UdpExchangeSocket::WaitForDatagram(int timeoutMs) {
  return socket_.waitForReadyRead(timeoutMs) || socket_.error() == QAbstractSocket::SocketTimeoutError;
}

void UdpExchangeSocket::WhenFailed(QObject* context, std::function<void()> failed) {
  QObject::connect(&socket_, &QUdpSocket::errorOccurred, context, std::move(failed));
}

std::unique_ptr<ExchangeSocket> OpenExchangeSocket(const DeviceLink& link) {
  return std::make_unique<UdpExchangeSocket>(link);
}
