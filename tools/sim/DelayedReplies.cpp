#include "tools/sim/DelayedReplies.h"

#include <sys/timerfd.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cstdint>

DelayedReplies::DelayedReplies(QObject* parent)
    : QObject(parent), timer_(timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC)) {
  ready_ = new QSocketNotifier(timer_, QSocketNotifier::Read, this);
  connect(ready_, &QSocketNotifier::activated, this, &DelayedReplies::SendDue);
}

DelayedReplies::~DelayedReplies() {
  delete ready_;
  ::close(timer_);
}

void DelayedReplies::At(Clock::time_point due, std::function<void()> send) {
  waiting_.emplace(due, std::move(send));
  Arm();
}

void DelayedReplies::SendDue() {
  uint64_t expirations = 0;
  [[maybe_unused]] const ssize_t read = ::read(timer_, &expirations, sizeof expirations);
  const Clock::time_point now = Clock::now();
  while (!waiting_.empty() && waiting_.begin()->first <= now) {
    const std::function<void()> send = std::move(waiting_.begin()->second);
    waiting_.erase(waiting_.begin());
    send();
  }
  Arm();
}

// The timer is set to the earliest reply's moment, or stopped when none waits. steady_clock counts
// CLOCK_MONOTONIC, the clock the timer runs on.
void DelayedReplies::Arm() {
  itimerspec next{};
  if (!waiting_.empty()) {
    const auto since =
        std::chrono::duration_cast<std::chrono::nanoseconds>(waiting_.begin()->first.time_since_epoch());
    next.it_value.tv_sec = time_t(since.count() / 1'000'000'000);
    next.it_value.tv_nsec = long(since.count() % 1'000'000'000);
    // A zero value would stop the timer: a moment at the clock's very start is long past anyway.
    if (next.it_value.tv_sec == 0 && next.it_value.tv_nsec == 0) next.it_value.tv_nsec = 1;
  }
  timerfd_settime(timer_, TFD_TIMER_ABSTIME, &next, nullptr);
}
