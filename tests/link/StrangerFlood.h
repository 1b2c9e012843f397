#pragma once

#include <atomic>
#include <cstdint>
#include <future>
#include <thread>

// A silent device on 127.0.0.1 whose request sets off a flood: a stranger on 127.0.0.2 sends datagrams
// to the requester's port, many to a system call, faster than an exchange reads them, until the flood
// is destroyed or, at the latest, FloodMs have passed, so that an exchange that waits on it still ends.
class StrangerFlood {
 public:
  static constexpr int FloodMs = 5000;

  StrangerFlood();
  ~StrangerFlood();
  StrangerFlood(const StrangerFlood&) = delete;
  StrangerFlood& operator=(const StrangerFlood&) = delete;

  // 0 when the sockets could not be bound (no second loopback address on this system).
  uint16_t Port() const { return port_; }
  int64_t DatagramsSent() const { return sent_; }

 private:
  void Serve(std::promise<uint16_t> bound);

  std::atomic<bool> stopping_{false};
  std::atomic<int64_t> sent_{0};
  std::thread thread_;
  uint16_t port_ = 0;
};
