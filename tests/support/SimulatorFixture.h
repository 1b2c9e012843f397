#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QThread>
#include <cstdint>
#include <memory>

#include "tools/sim/SimulatorConfig.h"

class SimulatorEngine;

// A simulated device on 127.0.0.1 (or `address`), on a port the system chooses (or `port`), answering
// from its own thread so that the test thread can make blocking exchanges with it. Stopped and joined
// on destruction.
class RunningSimulator {
 public:
  explicit RunningSimulator(const SimulatorConfig& config,
                            const QHostAddress& address = QHostAddress(QHostAddress::LocalHost),
                            uint16_t port = 0);
  ~RunningSimulator();
  RunningSimulator(const RunningSimulator&) = delete;
  RunningSimulator& operator=(const RunningSimulator&) = delete;

  uint16_t Port() const { return port_; }
  // Every datagram the device received so far, in arrival order.
  QList<QByteArray> Requests() const;

 private:
  QThread thread_;
  std::unique_ptr<SimulatorEngine> engine_;
  uint16_t port_ = 0;
};
