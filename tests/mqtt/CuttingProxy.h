#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <thread>

// A relay between one MQTT client and the broker, on a port of 127.0.0.1 the system chooses. It passes
// the client's CONNECT on and, once the broker has accepted it, drops its connection to the broker
// without a DISCONNECT (as a killed program or a lost network would) and then the client's, which never
// learns that it was connected. Works on a thread of its own; gives up after ten seconds of waiting.
class CuttingProxy {
 public:
  CuttingProxy(const QString& brokerHost, uint16_t brokerPort);
  ~CuttingProxy();
  CuttingProxy(const CuttingProxy&) = delete;
  CuttingProxy& operator=(const CuttingProxy&) = delete;

  uint16_t Port() const { return port_; }
  // Waits for the relay to end: whether the broker accepted the client's connection before the cut.
  bool Cut();

 private:
  void Relay(const QByteArray& brokerHost, uint16_t brokerPort);

  int listener_ = -1;
  uint16_t port_ = 0;
  bool accepted_ = false;
  std::thread thread_;
};
