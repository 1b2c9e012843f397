#pragma once

#include <QByteArray>
#include <cstdint>

#include "link/DeviceLink.h"
#include "link/ExchangeReply.h"

// Request texts of the device protocol. Each is sent followed by one zero byte.
QByteArray MemoryReadRequest(int64_t address);  // "EA" + address in decimal
QByteArray LogBlockRequest(int block);          // "ED" + block with at least two digits
inline const QByteArray NetResetRequest = "netreset";
inline const QByteArray IdentityRequest = "E47305826";

// The send buffer holds a request and its zero byte; a reply is read with the receive buffer's
// capacity, one byte more than a memory block, so that an oversized reply shows as one.
constexpr int SendBufferSize = 512;
constexpr int ReceiveBufferSize = 513;
// What the dumps and the log decoder look at of a reply: one memory block.
constexpr int ReplyBlockSize = 512;

// The datagram of a request: its text and one zero byte. Throws ValdError for a request that does not
// fit the send buffer.
QByteArray RequestDatagram(const QByteArray& request);

// Every reply but a log block's has to fit the receive buffer (513 bytes): returns `length`, or throws
// ValdError naming the host and the length for a longer reply. A log block's reply of any length is
// judged by the readout.
int FittingReply(int length, const QString& host);

// One exchange that waits blocking: the reply as far as it fits the receive buffer, with its true
// length (0: nothing came within the time-out). Throws ValdError for a longer reply (FittingReply).
ExchangeReply ExchangeRequest(DeviceLink& link, const QByteArray& request,
                              int timeoutMs = DeviceLink::ReplyTimeoutMs);

// The reply's first 512 bytes as received, zeros where none came.
QByteArray ReplyBlock(const ExchangeReply& reply);

// The reply as text: up to its first zero byte or its end, whichever comes first.
QByteArray ReplyText(const ExchangeReply& reply);

// A memory dump being written: one row of 64 byte values (or characters) after another, each ended by
// CR LF, across the replies of one dump tool.
struct MemoryDump {
  QByteArray OutputText;
  int32_t LinePosition = 0;  // values in the row being written
};

// A reply's first 512 bytes appended as decimal byte values ("65;"), or as characters with a zero byte
// shown as ".".
void AppendAsDecimal(MemoryDump& dump, const ExchangeReply& reply);
void AppendAsText(MemoryDump& dump, const ExchangeReply& reply);

// One memory-read exchange whose reply is appended to `dump` as decimal values or as characters.
// Returns the reply.
ExchangeReply ExchangeAsDecimal(DeviceLink& link, const QByteArray& request, MemoryDump& dump);
ExchangeReply ExchangeAsText(DeviceLink& link, const QByteArray& request, MemoryDump& dump);

// One exchange whose reply is returned as text (ReplyText). Throws ValdError for a reply longer than
// the receive buffer.
QByteArray ExchangeForReplyText(DeviceLink& link, const QByteArray& request, int timeoutMs);
