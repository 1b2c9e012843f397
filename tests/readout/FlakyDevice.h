#pragma once

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QSet>
#include <QThread>
#include <cstdint>

#include "tools/sim/DeviceResponder.h"

class QUdpSocket;

// A simulated device on 127.0.0.1 that ignores the first request for each of the given log blocks and
// answers every later one, as a device busy writing its log may miss a request. Answers come from the
// simulator's responder, from a thread of its own.
class FlakyDevice {
 public:
  FlakyDevice(const SimulatorConfig& config, const QSet<int>& blocksMissedOnce);
  ~FlakyDevice();
  FlakyDevice(const FlakyDevice&) = delete;
  FlakyDevice& operator=(const FlakyDevice&) = delete;

  uint16_t Port() const { return port_; }
  QList<QByteArray> Requests() const;

 private:
  void Answer();

  DeviceResponder responder_;
  QSet<QByteArray> stillToMiss_;
  QThread thread_;
  QObject worker_;  // lives in thread_, parent of the socket
  QUdpSocket* socket_ = nullptr;
  uint16_t port_ = 0;
  mutable QMutex requestsMutex_;
  QList<QByteArray> requests_;
};
