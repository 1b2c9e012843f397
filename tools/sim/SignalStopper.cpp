#include "tools/sim/SignalStopper.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>

namespace {

int signalPair[2] = {-1, -1};

void OnStopSignal(int) {
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = ::write(signalPair[0], &byte, 1);
}

}  // namespace

SignalStopper::SignalStopper(QObject* parent) : QObject(parent) {
  if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPair) != 0) return;
  notifier_ = new QSocketNotifier(signalPair[1], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [] {
    char byte = 0;
    [[maybe_unused]] const ssize_t read = ::read(signalPair[1], &byte, 1);
    QCoreApplication::quit();
  });
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

SignalStopper::~SignalStopper() {
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGTERM, SIG_DFL);
  delete notifier_;
  for (int& fd : signalPair) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
}
