#include "link/DeviceLink.h"

#include <QDeadlineTimer>
#include <QHostInfo>
#include <QLoggingCategory>
#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QNetworkProxy>
#include <QUdpSocket>
#include <algorithm>
#include <cstring>
#include <optional>

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

// A wait or read that failed: a port that nothing listens on (the system reports it unreachable) is
// no reply, as a silent device is; any other failure ends the exchange.
int NoReplyUnlessFailed(const QUdpSocket& socket, const QString& host) {
  if (socket.error() != QAbstractSocket::ConnectionRefusedError) {
    throw ValdError(QStringLiteral("Socket error receiving from %1: %2").arg(host, socket.errorString()));
  }
  qCDebug(lcLink) << "nothing listens on" << host;
  return 0;
}

}  // namespace

int DeviceLink::Exchange(const QByteArray& datagram, int timeoutMs, uint8_t* reply, int capacity) {
  const QHostAddress device = ResolveHost(host);
  // Asked only when a datagram comes from another address: listing the interfaces takes time.
  std::optional<bool> anySender;

  // A fresh socket on a port the system chooses: a reply that comes after an earlier exchange gave up
  // went to that exchange's port and is never read here. Qt permits broadcast on every UDP socket.
  QUdpSocket socket;
  // The device is on the local network: no proxy lookup for every exchange.
  socket.setProxy(QNetworkProxy::NoProxy);
  const QHostAddress local =
      device.protocol() == QAbstractSocket::IPv6Protocol ? QHostAddress::AnyIPv6 : QHostAddress::AnyIPv4;
  if (!socket.bind(local, 0)) {
    throw ValdError(QStringLiteral("Socket error talking to %1: %2").arg(host, socket.errorString()));
  }
  if (socket.writeDatagram(datagram, device, port) != datagram.size()) {
    throw ValdError(QStringLiteral("Socket error sending to %1: %2").arg(host, socket.errorString()));
  }
  qCDebug(lcLink) << "sent" << datagram.size() << "bytes to" << device << port;

  // The deadline is looked at before every datagram: a steady stream of datagrams from other senders
  // must not hold the exchange past its time-out.
  QDeadlineTimer deadline(timeoutMs);
  while (!deadline.hasExpired()) {
    if (!socket.hasPendingDatagrams()) {
      if (!socket.waitForReadyRead(int(deadline.remainingTime())) &&
          socket.error() != QAbstractSocket::SocketTimeoutError) {
        return NoReplyUnlessFailed(socket, host);
      }
      continue;
    }
    // The true length first: only `capacity` bytes are read, and a longer reply is reported as such.
    const qint64 length = socket.pendingDatagramSize();
    const QNetworkDatagram received = socket.receiveDatagram(capacity);
    if (!received.isValid()) return NoReplyUnlessFailed(socket, host);
    if (!received.senderAddress().isEqual(device, QHostAddress::TolerantConversion)) {
      if (!anySender) anySender = IsBroadcast(device);
      if (!*anySender) {
        qCDebug(lcLink) << "ignored a datagram from" << received.senderAddress();
        continue;
      }
    }
    const QByteArray data = received.data();
    std::memcpy(reply, data.constData(), size_t(std::min(data.size(), qsizetype(capacity))));
    const qint64 replyLength = std::max(length, qint64(data.size()));
    qCDebug(lcLink) << "received" << replyLength << "bytes from" << received.senderAddress();
    return int(replyLength);
  }
  qCDebug(lcLink) << "no reply from" << device << port << "within" << timeoutMs << "ms";
  return 0;
}
