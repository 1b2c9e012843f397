#pragma once

#include "link/DeviceLink.h"
#include "support/SimulatorFixture.h"

// The device the exchange benchmarks read: a 25LC512 (the header and 96 log blocks) of 1 500 records whose
// every reply waits DelayedReplyMs, punctually, so that a readout's time can be set against the sum of
// those waits.
inline constexpr int DelayedReplyMs = 2;
inline constexpr int DelayedDeviceReplies = 1 + 96;

inline SimulatorConfig DelayedDevice() {
  SimulatorConfig config;
  config.deviceCode = 27;
  config.chipCode = 2;
  config.recordCount = 1500;
  config.replyDelayMs = DelayedReplyMs;
  config.punctualReplies = true;
  return config;
}

inline DeviceLink LoopbackLinkTo(const RunningSimulator& device) {
  DeviceLink link;
  link.host = QStringLiteral("127.0.0.1");
  link.port = device.Port();
  return link;
}
