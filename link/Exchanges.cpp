#include "link/Exchanges.h"

#include <cstring>

#include "core/ValdError.h"

namespace {

constexpr int DumpLineBytes = 64;

// Appends the reply's first 512 bytes, a CR LF after every 64th value counted over the whole dump.
template <typename AppendByte>
void AppendDump(MemoryDump& dump, const ExchangeReply& reply, AppendByte appendByte) {
  const QByteArray block = ReplyBlock(reply);
  for (const char byte : block) {
    appendByte(uint8_t(byte));
    if (++dump.LinePosition == DumpLineBytes) {
      dump.OutputText.append("\r\n");
      dump.LinePosition = 0;
    }
  }
}

}  // namespace

QByteArray MemoryReadRequest(int64_t address) {
  return "EA" + QByteArray::number(address);
}

QByteArray LogBlockRequest(int block) {
  return "ED" + QByteArray::number(block).rightJustified(2, '0');
}

QByteArray RequestDatagram(const QByteArray& request) {
  if (request.size() + 1 > SendBufferSize) {
    throw ValdError(
        QStringLiteral("The request '%1' does not fit the send buffer").arg(QString::fromLatin1(request)));
  }
  return request + '\0';
}

int FittingReply(int length, const QString& host) {
  if (length > ReceiveBufferSize) {
    throw ValdError(
        QStringLiteral("The reply from %1 is %2 bytes long; at most %3 bytes fit the receive buffer")
            .arg(host)
            .arg(length)
            .arg(ReceiveBufferSize));
  }
  return length;
}

ExchangeReply ExchangeRequest(DeviceLink& link, const QByteArray& request, int timeoutMs) {
  const QByteArray datagram = RequestDatagram(request);
  ExchangeReply reply = link.Exchange(datagram, timeoutMs, ReceiveBufferSize);
  FittingReply(reply.length, link.host);
  return reply;
}

QByteArray ReplyBlock(const ExchangeReply& reply) {
  QByteArray block = reply.bytes.left(ReplyBlockSize);
  block.append(ReplyBlockSize - block.size(), '\0');
  return block;
}

QByteArray ReplyText(const ExchangeReply& reply) {
  return QByteArray(reply.bytes.constData(),
                    qsizetype(qstrnlen(reply.bytes.constData(), reply.bytes.size())));
}

void AppendAsDecimal(MemoryDump& dump, const ExchangeReply& reply) {
  AppendDump(dump, reply, [&](uint8_t byte) {
    dump.OutputText.append(QByteArray::number(byte));
    dump.OutputText.append(';');
  });
}

void AppendAsText(MemoryDump& dump, const ExchangeReply& reply) {
  AppendDump(dump, reply, [&](uint8_t byte) { dump.OutputText.append(byte == 0 ? '.' : char(byte)); });
}

ExchangeReply ExchangeAsDecimal(DeviceLink& link, const QByteArray& request, MemoryDump& dump) {
  ExchangeReply reply = ExchangeRequest(link, request);
  AppendAsDecimal(dump, reply);
  return reply;
}

ExchangeReply ExchangeAsText(DeviceLink& link, const QByteArray& request, MemoryDump& dump) {
  ExchangeReply reply = ExchangeRequest(link, request);
  AppendAsText(dump, reply);
  return reply;
}

QByteArray ExchangeForReplyText(DeviceLink& link, const QByteArray& request, int timeoutMs) {
  return ReplyText(ExchangeRequest(link, request, timeoutMs));
}
