#include "tools/sim/DeviceResponder.h"

#include "decode/DeviceCatalogue.h"
#include "link/Exchanges.h"
#include "link/MemoryMap.h"
#include "tools/sim/LogGenerator.h"

namespace {

// The number after a two-letter command, when the rest of the text is one.
std::optional<int64_t> NumberAfter(const QByteArray& text, const char* command) {
  if (!text.startsWith(command) || text.size() == 2) return std::nullopt;
  bool ok = false;
  const int64_t number = text.mid(2).toLongLong(&ok);
  return ok ? std::optional(number) : std::nullopt;
}

}  // namespace

DeviceResponder::DeviceResponder(const SimulatorConfig& config)
    : config_(config), image_(SimulatedDeviceImage(config)) {}

std::optional<QByteArray> DeviceResponder::Answer(const QByteArray& datagram) const {
  if (config_.silent) return std::nullopt;
  const qsizetype zero = datagram.indexOf('\0');
  const QByteArray text = zero < 0 ? datagram : datagram.left(zero);

  if (text == NetResetRequest) return config_.netresetReply + '\0';
  if (text == IdentityRequest) return config_.identityReply + '\0';
  if (const auto address = NumberAfter(text, "EA")) {
    if (config_.silentHeader && *address == HeaderAddress) return std::nullopt;
    return image_.MemoryAt(*address);
  }
  if (const auto block = NumberAfter(text, "ED")) {
    if (config_.silentFromBlock >= 0 && *block >= config_.silentFromBlock) return std::nullopt;
    return image_.LogBlock(*block);
  }
  return std::nullopt;
}
