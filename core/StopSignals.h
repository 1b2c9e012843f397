#pragma once

#include <atomic>
#include <functional>
#include <thread>

// SIGINT and SIGTERM (Ctrl+C, a service being stopped) taken as a request to stop. The handler only
// writes a byte to a socket pair; a thread of its own takes it and runs `onStop` once, so nothing unsafe
// runs inside the handler. One at a time; the signals' default actions come back when it goes.
class StopSignals {
 public:
  explicit StopSignals(std::function<void()> onStop);
  ~StopSignals();
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  bool Requested() const { return requested_; }

 private:
  std::function<void()> onStop_;
  std::atomic<bool> requested_{false};
  std::jthread watcher_;
};
