#include "core/StopSignals.h"

#include <sys/socket.h>
#include <unistd.h>

#include <csignal>

namespace {

int signalPair[2] = {-1, -1};

constexpr char StopByte = 1;
constexpr char EndByte = 0;

void OnStopSignal(int) {
  [[maybe_unused]] const ssize_t written = ::write(signalPair[0], &StopByte, 1);
}

}  // namespace

StopSignals::StopSignals(std::function<void()> onStop) : onStop_(std::move(onStop)) {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPair) != 0) return;
  watcher_ = std::jthread([this] {
    char byte = EndByte;
    while (::read(signalPair[1], &byte, 1) == 1 && byte == StopByte) {
      if (!requested_.exchange(true)) onStop_();
    }
  });
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

StopSignals::~StopSignals() {
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGTERM, SIG_DFL);
  if (watcher_.joinable()) {
    [[maybe_unused]] const ssize_t written = ::write(signalPair[0], &EndByte, 1);
    watcher_.join();
  }
  for (int& fd : signalPair) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
}
