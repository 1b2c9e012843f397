#include "tools/sim/DelayedReplies.h"

#include <sys/timerfd.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <algorithm>
#include <cstdint>

DelayedReplies::DelayedReplies(bool punctual, QObject* parent)
    : QObject(parent),
      punctual_(punctual),
      timer_(timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC)) {
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

namespace {

// The early wake-up follows the latency as it changes: twice its running mean, so that a wake-up later
// than usual still comes in time; never more than this.
constexpr DelayedReplies::Clock::duration LongestEarlyWakeUp = std::chrono::microseconds(300);

}  // namespace

void DelayedReplies::SendDue() {
  uint64_t expirations = 0;
  [[maybe_unused]] const ssize_t read = ::read(timer_, &expirations, sizeof expirations);
  Clock::time_point now = Clock::now();
  if (punctual_) {
    const Clock::duration latency =
        std::clamp(now - armedFor_, Clock::duration::zero(), LongestEarlyWakeUp / 2);
    wakeLatency_ += (latency - wakeLatency_) / 8;
    while (!waiting_.empty() && now < waiting_.begin()->first &&
           waiting_.begin()->first - now <= LongestEarlyWakeUp) {
      now = Clock::now();
    }
  }
  while (!waiting_.empty() && waiting_.begin()->first <= now) {
    const std::function<void()> send = std::move(waiting_.begin()->second);
    waiting_.erase(waiting_.begin());
    send();
  }
  Arm();
}

// The timer is set to the earliest reply's moment (punctual: that much early), or stopped when none waits.
// steady_clock counts CLOCK_MONOTONIC, the clock the timer runs on.
void DelayedReplies::Arm() {
  itimerspec next{};
  if (!waiting_.empty()) {
    armedFor_ = waiting_.begin()->first - (punctual_ ? 2 * wakeLatency_ : Clock::duration::zero());
    const auto since = std::chrono::duration_cast<std::chrono::nanoseconds>(armedFor_.time_since_epoch());
    next.it_value.tv_sec = time_t(since.count() / 1'000'000'000);
    next.it_value.tv_nsec = long(since.count() % 1'000'000'000);
    // A zero value would stop the timer: a moment at the clock's very start is long past anyway.
    if (next.it_value.tv_sec == 0 && next.it_value.tv_nsec == 0) next.it_value.tv_nsec = 1;
  }
  timerfd_settime(timer_, TFD_TIMER_ABSTIME, &next, nullptr);
}
