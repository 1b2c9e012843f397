#pragma once

#include <QObject>
#include <chrono>
#include <functional>
#include <map>

class QSocketNotifier;

// Replies waiting for their delay, each sent when its moment has come, to the microsecond. A Qt timer
// waits whole milliseconds counted from when the event loop next looks, and the system adds its timer
// slack: a simulated 2 ms delay grew by 2-5 %, which a benchmark of the reader then took for its own
// overhead. Even a timerfd wakes the thread 50-100 µs after its moment on a virtual machine; punctual
// replies set the timer early by the wake-up latency seen so far and wait the rest on the clock, which
// keeps a core busy for that time. Replies due at the same moment go out in the order they were queued.
// Lives in the thread of the event loop that sends them.
class DelayedReplies : public QObject {
  Q_OBJECT

 public:
  using Clock = std::chrono::steady_clock;

  explicit DelayedReplies(bool punctual, QObject* parent = nullptr);
  ~DelayedReplies() override;

  void At(Clock::time_point due, std::function<void()> send);

 private:
  void SendDue();
  void Arm();

  bool punctual_ = false;
  int timer_ = -1;
  Clock::time_point armedFor_{};
  Clock::duration wakeLatency_{};
  QSocketNotifier* ready_ = nullptr;
  std::multimap<Clock::time_point, std::function<void()>> waiting_;
};
