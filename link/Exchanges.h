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
// Throws ValdError naming the host and the size for a longer reply.
int ExchangeIntoReceiveBuffer(SharedState& state, DeviceLink& link, const QByteArray& request,
                              int timeoutMs = DeviceLink::ReplyTimeoutMs);

// The exchange of log block `block` ("ED<nn>"), as ExchangeIntoReceiveBuffer, except that a reply of
// any length is taken: ReceiveBuffer holds its first 513 bytes, and its true length is returned and
// added to ReceivedByteCount, for the readout to judge the block by.
int ExchangeLogBlock(SharedState& state, DeviceLink& link, int block);

// One memory-read exchange whose 512-byte reply is appended to OutputText as decimal byte values
// ("65;") or as characters (a zero byte as "."), a CR LF after every 64th value (LinePosition).
void ExchangeAsDecimal(SharedState& state, DeviceLink& link, const QByteArray& request);
void ExchangeAsText(SharedState& state, DeviceLink& link, const QByteArray& request);

// One exchange whose reply is returned as text up to its first zero byte or the reply's end, whichever
// comes first. ReceivedByteCount is left alone; only the first 101 bytes of the buffers are zeroed first.
// Throws ValdError for a reply longer than ReceiveBuffer.
QByteArray ExchangeForReplyText(SharedState& state, DeviceLink& link, const QByteArray& request,
                                int timeoutMs);
