#include "tools/sim/ReplyFault.h"

#include <array>

namespace {

// SplitMix64: a well-mixed 64-bit value from any input, the same on every machine.
uint64_t Mix(uint64_t value) {
  value += 0x9E3779B97F4A7C15ULL;
  value = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9ULL;
  value = (value ^ (value >> 27)) * 0x94D049BB133111EBULL;
  return value ^ (value >> 31);
}

// Per cent of a device's replies that are spoilt, by seed: some devices behave, some are plainly hostile.
constexpr std::array<uint64_t, 4> FaultPercents = {0, 4, 12, 33};

constexpr std::array<ReplyFaultKind, 6> FaultKinds = {
    ReplyFaultKind::Short, ReplyFaultKind::Oversized, ReplyFaultKind::Silent,
    ReplyFaultKind::Late,  ReplyFaultKind::Twice,     ReplyFaultKind::OtherPort,
};

constexpr int BlockBytes = 512;
constexpr int LargestDatagram = 65507;

// Mostly a little too long; now and then a byte too long, or as long as a datagram can be.
int OversizedLength(uint64_t random) {
  switch (random % 8) {
    case 0:
      return BlockBytes + 1;
    case 1:
      return LargestDatagram;
    default:
      return BlockBytes + 2 + int((random >> 8) % 1534);
  }
}

}  // namespace

ReplyFault ChaosFault(uint32_t seed, int request) {
  const uint64_t percent = FaultPercents[Mix(seed) % FaultPercents.size()];
  const uint64_t random = Mix((uint64_t(seed) << 32) | uint32_t(request));
  if (random % 100 >= percent) return {};
  const ReplyFaultKind kind = FaultKinds[(random >> 8) % FaultKinds.size()];
  const uint64_t sizeRandom = random >> 16;
  if (kind == ReplyFaultKind::Short) return {kind, int(sizeRandom % BlockBytes)};
  if (kind == ReplyFaultKind::Oversized) return {kind, OversizedLength(sizeRandom)};
  return {kind, 0};
}

QByteArray SpoilReply(const ReplyFault& fault, QByteArray reply) {
  if (fault.kind == ReplyFaultKind::Short) reply.truncate(fault.bytes);
  if (fault.kind == ReplyFaultKind::Oversized) reply.resize(fault.bytes, char(0x55));
  return reply;
}

QByteArray FaultText(const ReplyFault& fault) {
  switch (fault.kind) {
    case ReplyFaultKind::None:
      return "as it is";
    case ReplyFaultKind::Short:
      return "short " + QByteArray::number(fault.bytes) + " bytes";
    case ReplyFaultKind::Oversized:
      return "oversized " + QByteArray::number(fault.bytes) + " bytes";
    case ReplyFaultKind::Silent:
      return "silent";
    case ReplyFaultKind::Late:
      return "late";
    case ReplyFaultKind::Twice:
      return "twice";
    case ReplyFaultKind::OtherPort:
      return "from another port";
  }
  return {};
}
