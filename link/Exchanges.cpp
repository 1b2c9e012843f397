#include "link/Exchanges.h"

#include <algorithm>
#include <cstring>

#include "core/ValdError.h"

namespace {

constexpr int DumpBytes = 512;
constexpr int DumpLineBytes = 64;
constexpr int ReplyTextZeroedBytes = 101;

// Zeroes the first `zeroed` bytes of both buffers, puts the request and its zero byte at the start of
// SendBuffer and exchanges exactly those bytes. Returns the reply's true length, which may exceed what
// ReceiveBuffer holds of it.
int SendAndReceive(SharedState& state, DeviceLink& link, const QByteArray& request, int zeroed,
                   int timeoutMs) {
  std::fill_n(state.SendBuffer.begin(), zeroed, 0);
  std::fill_n(state.ReceiveBuffer.begin(), zeroed, 0);
  const qsizetype length = request.size() + 1;
  if (length > SharedState::SendBufferSize) {
    throw ValdError(
        QStringLiteral("The request '%1' does not fit the send buffer").arg(QString::fromLatin1(request)));
  }
  std::memcpy(state.SendBuffer.data(), request.constData(), size_t(request.size()));
  const QByteArray datagram(reinterpret_cast<const char*>(state.SendBuffer.data()), length);
  return link.Exchange(datagram, timeoutMs, state.ReceiveBuffer.data(), SharedState::ReceiveBufferSize);
}

// Every reply but a log block's has to fit ReceiveBuffer: a longer one is an error.
int FittingReply(int length, const DeviceLink& link) {
  if (length > SharedState::ReceiveBufferSize) {
    throw ValdError(
        QStringLiteral("The reply from %1 is %2 bytes long; at most %3 bytes fit the receive buffer")
            .arg(link.host)
            .arg(length)
            .arg(SharedState::ReceiveBufferSize));
  }
  return length;
}

// Appends the first 512 bytes of ReceiveBuffer, a CR LF after every 64th byte counted over all dumps.
template <typename AppendByte>
void AppendDump(SharedState& state, AppendByte appendByte) {
  for (int i = 0; i < DumpBytes; ++i) {
    appendByte(state.ReceiveBuffer[i]);
    if (++state.LinePosition == DumpLineBytes) {
      state.OutputText.append("\r\n");
      state.LinePosition = 0;
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

int ExchangeIntoReceiveBuffer(SharedState& state, DeviceLink& link, const QByteArray& request,
                              int timeoutMs) {
  const int count = FittingReply(SendAndReceive(state, link, request, DumpBytes, timeoutMs), link);
  state.ReceivedByteCount += count;
  return count;
}

int ExchangeLogBlock(SharedState& state, DeviceLink& link, int block) {
  const int length =
      SendAndReceive(state, link, LogBlockRequest(block), DumpBytes, DeviceLink::ReplyTimeoutMs);
  state.ReceivedByteCount += length;
  return length;
}

void ExchangeAsDecimal(SharedState& state, DeviceLink& link, const QByteArray& request) {
  ExchangeIntoReceiveBuffer(state, link, request);
  AppendDump(state, [&](uint8_t byte) {
    state.OutputText.append(QByteArray::number(byte));
    state.OutputText.append(';');
  });
}

void ExchangeAsText(SharedState& state, DeviceLink& link, const QByteArray& request) {
  ExchangeIntoReceiveBuffer(state, link, request);
  AppendDump(state, [&](uint8_t byte) { state.OutputText.append(byte == 0 ? '.' : char(byte)); });
}

QByteArray ExchangeForReplyText(SharedState& state, DeviceLink& link, const QByteArray& request,
                                int timeoutMs) {
  const int count = FittingReply(SendAndReceive(state, link, request, ReplyTextZeroedBytes, timeoutMs), link);
  // The text ends at the first zero byte, and never runs on into bytes an earlier exchange left beyond
  // this reply.
  const char* text = reinterpret_cast<const char*>(state.ReceiveBuffer.data());
  return QByteArray(text, qsizetype(strnlen(text, size_t(count))));
}
