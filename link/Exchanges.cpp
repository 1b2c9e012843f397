#include "link/Exchanges.h"

#include <algorithm>
#include <cstring>

#include "core/ValdError.h"

namespace {

constexpr int DumpBytes = 512;
constexpr int DumpLineBytes = 64;
constexpr int ReplyTextZeroedBytes = 101;

// Zeroes the first `zeroed` bytes of SendBuffer and puts the request and its zero byte at its start.
// Returns exactly those bytes, the datagram to send.
QByteArray RequestDatagram(SharedState& state, const QByteArray& request, int zeroed) {
  std::fill_n(state.SendBuffer.begin(), zeroed, 0);
  const qsizetype length = request.size() + 1;
  if (length > SharedState::SendBufferSize) {
    throw ValdError(
        QStringLiteral("The request '%1' does not fit the send buffer").arg(QString::fromLatin1(request)));
  }
  std::memcpy(state.SendBuffer.data(), request.constData(), size_t(request.size()));
  return QByteArray(reinterpret_cast<const char*>(state.SendBuffer.data()), length);
}

// Zeroes the first `zeroed` bytes of both buffers and exchanges the request. Returns the reply's length.
int SendAndReceive(SharedState& state, DeviceLink& link, const QByteArray& request, int zeroed,
                   int timeoutMs) {
  std::fill_n(state.ReceiveBuffer.begin(), zeroed, 0);
  const QByteArray datagram = RequestDatagram(state, request, zeroed);
  return link.Exchange(datagram, timeoutMs, state.ReceiveBuffer.data(), SharedState::ReceiveBufferSize);
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
  const int count = SendAndReceive(state, link, request, DumpBytes, timeoutMs);
  state.ReceivedByteCount += count;
  return count;
}

QByteArray PrepareReceiveBufferRequest(SharedState& state, const QByteArray& request) {
  return RequestDatagram(state, request, DumpBytes);
}

int TakeIntoReceiveBuffer(SharedState& state, const QByteArray& reply) {
  std::fill_n(state.ReceiveBuffer.begin(), DumpBytes, 0);
  std::memcpy(state.ReceiveBuffer.data(), reply.constData(), size_t(reply.size()));
  state.ReceivedByteCount += int32_t(reply.size());
  return int(reply.size());
}

void AppendReceiveBufferAsText(SharedState& state) {
  AppendDump(state, [&](uint8_t byte) { state.OutputText.append(byte == 0 ? '.' : char(byte)); });
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
  AppendReceiveBufferAsText(state);
}

QByteArray ExchangeForReplyText(SharedState& state, DeviceLink& link, const QByteArray& request,
                                int timeoutMs) {
  const int count = SendAndReceive(state, link, request, ReplyTextZeroedBytes, timeoutMs);
  // The text ends at the first zero byte, and never runs on into bytes an earlier exchange left beyond
  // this reply.
  const char* text = reinterpret_cast<const char*>(state.ReceiveBuffer.data());
  return QByteArray(text, qsizetype(strnlen(text, size_t(count))));
}
