#pragma once

#include "tools/sim/ReplyFault.h"

// The length of a `length`-byte reply spoilt by `fault` as it reaches a program waiting for it: cut,
// padded, or 0 when nothing comes in time.
inline int ReplyLengthInTime(const ReplyFault& fault, int length = 512) {
  switch (fault.kind) {
    case ReplyFaultKind::Short:
    case ReplyFaultKind::Oversized:
      return fault.bytes;
    case ReplyFaultKind::Silent:
    case ReplyFaultKind::Late:
      return 0;
    case ReplyFaultKind::None:
    case ReplyFaultKind::Twice:
    case ReplyFaultKind::OtherPort:
      return length;
  }
  return length;
}
