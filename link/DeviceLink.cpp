#include "link/DeviceLink.h"

#include <QDeadlineTimer>
#include <algorithm>
#include <cstring>

#include "link/ExchangeSocket.h"

int DeviceLink::Exchange(const QByteArray& datagram, int timeoutMs, uint8_t* reply, int capacity) {
  ExchangeSocket exchange(*this);
  exchange.Send(datagram, port);
  QUdpSocket& socket = exchange.Socket();
  QDeadlineTimer deadline(timeoutMs);
  while (!deadline.hasExpired()) {
    if (!socket.hasPendingDatagrams()) {
      if (!socket.waitForReadyRead(int(deadline.remainingTime())) &&
          socket.error() != QAbstractSocket::SocketTimeoutError) {
        return exchange.NoReplyUnlessFailed().length;
      }
      continue;
    }
    if (const std::optional<ExchangeReply> received = exchange.TakeReply(capacity)) {
      std::memcpy(reply, received->bytes.constData(),
                  size_t(std::min(received->bytes.size(), qsizetype(capacity))));
      return received->length;
    }
  }
  return 0;
}
