#pragma once

#include <QByteArray>
#include <optional>

#include "tools/sim/DeviceImage.h"
#include "tools/sim/SimulatorConfig.h"

// The device's side of the protocol: which reply a request datagram gets, or none. Requests are texts
// ended by a zero byte: "EA<address>" (512 bytes of device memory), "ED<block>" (one log block),
// "netreset" and "E47305826" (zero-terminated texts). Anything else is ignored, as are the requests
// that the configuration keeps silent.
class DeviceResponder {
 public:
  explicit DeviceResponder(const SimulatorConfig& config);

  std::optional<QByteArray> Answer(const QByteArray& datagram) const;
  const DeviceImage& Image() const { return image_; }
  void SetIdentityReply(const QByteArray& reply) { config_.identityReply = reply; }

 private:
  SimulatorConfig config_;
  DeviceImage image_;
};
