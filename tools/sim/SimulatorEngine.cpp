#include "tools/sim/SimulatorEngine.h"

#include <QMutexLocker>
#include <QNetworkDatagram>
#include <QTimer>
#include <QUdpSocket>

SimulatorEngine::SimulatorEngine(const SimulatorConfig& config, QObject* parent)
    : QObject(parent), config_(config), responder_(config) {}

SimulatorEngine::~SimulatorEngine() {
  Stop();
}

bool SimulatorEngine::Listen(const QHostAddress& address, uint16_t port) {
  Stop();
  socket_ = new QUdpSocket(this);
  pendingReplies_ = std::make_unique<QObject>();
  connect(socket_, &QUdpSocket::readyRead, this, &SimulatorEngine::ReadPendingDatagrams);
  return socket_->bind(address, port);
}

void SimulatorEngine::Stop() {
  pendingReplies_.reset();
  if (socket_) {
    socket_->close();
    delete socket_;
    socket_ = nullptr;
  }
}

uint16_t SimulatorEngine::Port() const {
  return socket_ ? socket_->localPort() : 0;
}

QString SimulatorEngine::ErrorText() const {
  return socket_ ? socket_->errorString() : QString();
}

QList<QByteArray> SimulatorEngine::Requests() const {
  QMutexLocker lock(&requestsMutex_);
  return requests_;
}

void SimulatorEngine::ReadPendingDatagrams() {
  while (socket_ && socket_->hasPendingDatagrams()) {
    const QNetworkDatagram datagram = socket_->receiveDatagram();
    const QByteArray request = datagram.data();
    {
      QMutexLocker lock(&requestsMutex_);
      requests_.append(request);
    }
    emit RequestReceived(request, datagram.senderAddress(), quint16(datagram.senderPort()));

    std::optional<QByteArray> reply = responder_.Answer(request);
    if (!reply) continue;
    if (config_.oversizedReplyBytes > 0) reply->resize(config_.oversizedReplyBytes, char(0x55));

    const int delayMs = config_.lateReplyMs > 0 ? config_.lateReplyMs : config_.replyDelayMs;
    if (delayMs <= 0) {
      SendReply(*reply, datagram.senderAddress(), quint16(datagram.senderPort()));
    } else {
      QTimer::singleShot(delayMs, pendingReplies_.get(),
                         [this, reply = *reply, to = datagram.senderAddress(), port = datagram.senderPort()] {
                           SendReply(reply, to, quint16(port));
                         });
    }
  }
}

void SimulatorEngine::SendReply(QByteArray reply, const QHostAddress& to, quint16 port) {
  const int copies = config_.duplicateReplies ? 2 : 1;
  for (int i = 0; i < copies; ++i) socket_->writeDatagram(reply, to, port);
}
