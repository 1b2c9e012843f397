#pragma once

#include <QByteArray>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <thread>

// A device on 127.0.0.1 that answers each request datagram with what `answer` gives for it (nothing:
// no reply), from a thread of its own so that the program's blocking exchanges reach it. Plain
// sockets: it needs no Qt event loop, keeps nothing per request and adds no code to what is fuzzed.
class LoopbackDevice {
 public:
  using Answer = std::function<std::optional<QByteArray>(const QByteArray& request)>;

  explicit LoopbackDevice(Answer answer);
  ~LoopbackDevice();
  LoopbackDevice(const LoopbackDevice&) = delete;
  LoopbackDevice& operator=(const LoopbackDevice&) = delete;

  uint16_t Port() const { return port_; }

 private:
  void Serve();

  Answer answer_;
  int socket_ = -1;
  uint16_t port_ = 0;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};
