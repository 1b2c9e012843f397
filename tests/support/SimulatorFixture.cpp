#include "support/SimulatorFixture.h"

#include <QHostAddress>
#include <stdexcept>

#include "tools/sim/SimulatorEngine.h"

RunningSimulator::RunningSimulator(const SimulatorConfig& config, const QHostAddress& address, uint16_t port)
    : engine_(std::make_unique<SimulatorEngine>(config)) {
  engine_->moveToThread(&thread_);
  thread_.start();
  bool listening = false;
  QMetaObject::invokeMethod(
      engine_.get(),
      [&] {
        listening = engine_->Listen(address, port);
        port_ = engine_->Port();
      },
      Qt::BlockingQueuedConnection);
  if (!listening) {
    thread_.quit();
    thread_.wait();
    throw std::runtime_error("the simulated device cannot bind its address and port");
  }
}

RunningSimulator::~RunningSimulator() {
  QMetaObject::invokeMethod(
      engine_.get(), [&] { engine_->Stop(); }, Qt::BlockingQueuedConnection);
  thread_.quit();
  thread_.wait();
}

QList<QByteArray> RunningSimulator::Requests() const {
  return engine_->Requests();
}
