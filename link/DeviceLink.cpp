#include "link/DeviceLink.h"

#include <QDeadlineTimer>

#include "link/ExchangeSocket.h"

ExchangeReply DeviceLink::Exchange(const QByteArray& datagram, int timeoutMs, int capacity) {
  const std::unique_ptr<ExchangeSocket> exchange = OpenExchangeSocket(*this);
  exchange->Send(datagram, port);
  QDeadlineTimer deadline(timeoutMs);
  while (!deadline.hasExpired()) {
    if (!exchange->HasDatagram()) {
      if (!exchange->WaitForDatagram(int(deadline.remainingTime()))) return exchange->NoReplyUnlessFailed();
      continue;
    }
    if (std::optional<ExchangeReply> received = exchange->TakeReply(capacity)) return *std::move(received);
  }
  return {};
}
