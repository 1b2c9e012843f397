#include "FlakyDevice.h"

#include <QMutexLocker>
#include <QNetworkDatagram>
#include <QUdpSocket>
#include <stdexcept>

#include "link/Exchanges.h"

FlakyDevice::FlakyDevice(const SimulatorConfig& config, const QSet<int>& blocksMissedOnce)
    : responder_(config) {
  for (int block : blocksMissedOnce) stillToMiss_.insert(LogBlockRequest(block) + '\0');
  worker_.moveToThread(&thread_);
  thread_.start();
  QMetaObject::invokeMethod(
      &worker_,
      [this] {
        socket_ = new QUdpSocket(&worker_);
        QObject::connect(socket_, &QUdpSocket::readyRead, &worker_, [this] { Answer(); });
        if (socket_->bind(QHostAddress::LocalHost, 0)) port_ = socket_->localPort();
      },
      Qt::BlockingQueuedConnection);
  if (port_ == 0) {
    thread_.quit();
    thread_.wait();
    throw std::runtime_error("the flaky device cannot bind a loopback port");
  }
}

FlakyDevice::~FlakyDevice() {
  QMetaObject::invokeMethod(
      &worker_, [this] { delete socket_; }, Qt::BlockingQueuedConnection);
  thread_.quit();
  thread_.wait();
}

QList<QByteArray> FlakyDevice::Requests() const {
  QMutexLocker lock(&requestsMutex_);
  return requests_;
}

void FlakyDevice::Answer() {
  while (socket_->hasPendingDatagrams()) {
    const QNetworkDatagram datagram = socket_->receiveDatagram();
    {
      QMutexLocker lock(&requestsMutex_);
      requests_.append(datagram.data());
    }
    if (stillToMiss_.remove(datagram.data())) continue;
    if (const auto reply = responder_.Answer(datagram.data())) {
      socket_->writeDatagram(*reply, datagram.senderAddress(), quint16(datagram.senderPort()));
    }
  }
}
