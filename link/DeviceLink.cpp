#include "link/DeviceLink.h"

#include <QDeadlineTimer>
#include <cstring>

#include "link/ExchangeSocket.h"

int DeviceLink::Exchange(const QByteArray& datagram, int timeoutMs, uint8_t* reply, int capacity) {
  ExchangeSocket exchange(*this, datagram);
  QUdpSocket& socket = exchange.Socket();
  QDeadlineTimer deadline(timeoutMs);
  while (!deadline.hasExpired()) {
    if (!socket.hasPendingDatagrams() && !socket.waitForReadyRead(int(deadline.remainingTime()))) {
      if (socket.error() == QAbstractSocket::SocketTimeoutError) continue;
      return int(exchange.NoReplyUnlessFailed().size());
    }
    if (const std::optional<QByteArray> received = exchange.TakeReply(capacity)) {
      std::memcpy(reply, received->constData(), size_t(received->size()));
      return int(received->size());
    }
  }
  return 0;
}
