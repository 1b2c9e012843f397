#pragma once

#include <QByteArray>
#include <cstdint>

// How the simulated device spoils its reply to one request.
enum class ReplyFaultKind {
  None,       // the reply as it is
  Short,      // cut to `bytes`
  Oversized,  // padded to `bytes`
  Silent,     // no reply
  Late,       // sent after the program has given up waiting (LateReplyMs)
  Twice,      // sent twice
  OtherPort,  // sent from another port of the device's address
};

struct ReplyFault {
  ReplyFaultKind kind = ReplyFaultKind::None;
  int bytes = 0;  // length of a short or oversized reply

  bool operator==(const ReplyFault&) const = default;
};

// A late reply comes this long after its request: well after the program's 400 ms, so that a busy
// machine does not turn it into an answer in time.
constexpr int LateReplyMs = 600;

// The fault of the request numbered `request` (from 0, in arrival order) at a device in chaos mode with
// `seed`: the same seed and number always give the same fault, so that a run can be replayed. The seed
// also sets how hostile the device is: from well-behaved to a third of the replies spoilt.
ReplyFault ChaosFault(uint32_t seed, int request);

// The reply cut or padded (with 0x55) as a short or oversized fault says; any other fault keeps it.
QByteArray SpoilReply(const ReplyFault& fault, QByteArray reply);

// "short 40 bytes", "silent", ...: for request logs and failure messages.
QByteArray FaultText(const ReplyFault& fault);
