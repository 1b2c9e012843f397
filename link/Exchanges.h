#pragma once

#include <QByteArray>
#include <cstdint>

#include "core/SharedState.h"
#include "link/DeviceLink.h"

// Request texts of the device protocol. Each is sent followed by one zero byte.
QByteArray MemoryReadRequest(int64_t address);  // "EA" + address in decimal
QByteArray LogBlockRequest(int block);          // "ED" + block with at least two digits
inline const QByteArray NetResetRequest = "netreset";
inline const QByteArray IdentityRequest = "E47305826";

// One exchange into the shared buffers: zeroes the first 512 bytes of SendBuffer and ReceiveBuffer,
// sends the request plus its zero byte, receives at most 513 bytes into ReceiveBuffer within the
// time-out and adds the count to ReceivedByteCount (the count Label1 shows). Returns the count.
int ExchangeIntoReceiveBuffer(SharedState& state, DeviceLink& link, const QByteArray& request,
                              int timeoutMs = DeviceLink::ReplyTimeoutMs);

// ExchangeIntoReceiveBuffer in two halves, for an exchange that waits on the event loop: the datagram
// to send (SendBuffer zeroed and filled as for a blocking exchange), and the reply (at most 513 bytes)
// taken into ReceiveBuffer, whose first 512 bytes are zeroed first, its count added to ReceivedByteCount.
QByteArray PrepareReceiveBufferRequest(SharedState& state, const QByteArray& request);
int TakeIntoReceiveBuffer(SharedState& state, const QByteArray& reply);

// Appends the first 512 bytes of ReceiveBuffer to OutputText as characters, as ExchangeAsText does.
void AppendReceiveBufferAsText(SharedState& state);

// One memory-read exchange whose 512-byte reply is appended to OutputText as decimal byte values
// ("65;") or as characters (a zero byte as "."), a CR LF after every 64th value (LinePosition).
void ExchangeAsDecimal(SharedState& state, DeviceLink& link, const QByteArray& request);
void ExchangeAsText(SharedState& state, DeviceLink& link, const QByteArray& request);

// One exchange whose reply is returned as text up to its first zero byte or the reply's end, whichever
// comes first. ReceivedByteCount is left alone; only the first 101 bytes of the buffers are zeroed first.
QByteArray ExchangeForReplyText(SharedState& state, DeviceLink& link, const QByteArray& request,
                                int timeoutMs);
