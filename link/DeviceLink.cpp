#include "link/DeviceLink.h"

#include <QDeadlineTimer>
#include <algorithm>
#include <cstring>

#include "link/ExchangeSocket.h"

int DeviceLink::Exchange(const QByteArray& datagram, int timeoutMs, uint8_t* reply, int capacity) {
  const std::unique_ptr<ExchangeSocket> exchange = OpenExchangeSocket(*this);
  exchange->Send(datagram, port);
  QDeadlineTimer deadline(timeoutMs);
  while (!deadline.hasExpired()) {
    if (!exchange->HasDatagram()) {
      if (!exchange->WaitForDatagram(int(deadline.remainingTime())))
        return exchange->NoReplyUnlessFailed().length;
      continue;
    }
    if (const std::optional<ExchangeReply> received = exchange->TakeReply(capacity)) {
      std::memcpy(reply, received->bytes.constData(),
                  size_t(std::min(received->bytes.size(), qsizetype(capacity))));
      return received->length;
    }
  }
  return 0;
}
