#pragma once

#include <QByteArray>

#include "core/SharedState.h"
#include "link/DeviceLink.h"
#include "support/SimulatorFixture.h"
#include "tools/sim/DeviceImage.h"
#include "views/WindowModel.h"

// A simulated device serving `memory` at address 0 onwards (the rest of the 64 KiB erased) and the
// header of an AGATE log, plus the state a handler works on, pointed at it.
struct LinkSession {
  explicit LinkSession(SimulatorConfig config) : simulator(config) {
    link.host = QStringLiteral("127.0.0.1");
    link.port = simulator.Port();
    view.addressEdits[0] = "127.0.0.1";
  }
  RunningSimulator simulator;
  DeviceLink link;
  SharedState state;
  WindowModel view;
};

// A configuration whose device memory starts with `bytes`; the log header keeps its place at 4352.
inline SimulatorConfig MemoryStartingWith(const QByteArray& bytes) {
  DeviceImage image = DeviceImage::ForLog(2, 1, 10000, {});
  image.memory.replace(0, bytes.size(), bytes);
  SimulatorConfig config;
  config.image = image.ToBytes();
  return config;
}
