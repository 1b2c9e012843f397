#include "tools/sim/SimulatorEngine.h"

#include <linux/sockios.h>
#include <sys/ioctl.h>

#include <QMutexLocker>
#include <QNetworkDatagram>
#include <QUdpSocket>
#include <ctime>

namespace {

// The moment the system took in the datagram last read from the socket, on the clock replies wait on.
// The event loop looks at the socket 10-20 µs later; a delay counted from then would make every reply
// that much late. Without a stamp, the moment is now.
DelayedReplies::Clock::time_point ArrivalOfLastDatagram(const QUdpSocket& socket) {
  const DelayedReplies::Clock::time_point now = DelayedReplies::Clock::now();
  timespec stamp{};
  timespec wall{};
  if (ioctl(int(socket.socketDescriptor()), SIOCGSTAMPNS, &stamp) != 0 ||
      clock_gettime(CLOCK_REALTIME, &wall) != 0) {
    return now;
  }
  const auto since = std::chrono::seconds(wall.tv_sec - stamp.tv_sec) +
                     std::chrono::nanoseconds(wall.tv_nsec - stamp.tv_nsec);
  return since < std::chrono::seconds(0) || since > std::chrono::seconds(1)
             ? now
             : now - std::chrono::duration_cast<DelayedReplies::Clock::duration>(since);
}

}  // namespace

SimulatorEngine::SimulatorEngine(const SimulatorConfig& config, QObject* parent)
    : QObject(parent), config_(config), responder_(config) {}

SimulatorEngine::~SimulatorEngine() {
  Stop();
}

bool SimulatorEngine::Listen(const QHostAddress& address, uint16_t port) {
  Stop();
  socket_ = new QUdpSocket(this);
  otherPortSocket_ = new QUdpSocket(this);
  pendingReplies_ = std::make_unique<DelayedReplies>(config_.punctualReplies);
  connect(socket_, &QUdpSocket::readyRead, this, &SimulatorEngine::ReadPendingDatagrams);
  if (!socket_->bind(address, port) || !otherPortSocket_->bind(address, 0)) return false;
  // The first question for a stamp makes the system stamp every datagram from then on.
  ArrivalOfLastDatagram(*socket_);
  return true;
}

void SimulatorEngine::Stop() {
  pendingReplies_.reset();
  for (QUdpSocket** socket : {&socket_, &otherPortSocket_}) {
    delete *socket;
    *socket = nullptr;
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
    // The delay counts from the request's arrival, not from when its answer is ready.
    const QNetworkDatagram datagram = socket_->receiveDatagram();
    const DelayedReplies::Clock::time_point arrival = ArrivalOfLastDatagram(*socket_);
    const QByteArray request = datagram.data();
    int number = 0;
    {
      QMutexLocker lock(&requestsMutex_);
      number = int(requests_.size());
      requests_.append(request);
    }
    emit RequestReceived(request, datagram.senderAddress(), quint16(datagram.senderPort()));

    std::optional<QByteArray> reply = responder_.Answer(request);
    const ReplyFault fault = FaultFor(request, number);
    if (!reply || fault.kind == ReplyFaultKind::Silent) continue;
    if (config_.oversizedReplyBytes > 0) reply->resize(config_.oversizedReplyBytes, char(0x55));
    const QByteArray spoilt = SpoilReply(fault, *reply);
    const bool fromOtherPort = fault.kind == ReplyFaultKind::OtherPort;
    const int copies = config_.duplicateReplies || fault.kind == ReplyFaultKind::Twice ? 2 : 1;

    int delayMs = config_.lateReplyMs > 0 ? config_.lateReplyMs : config_.replyDelayMs;
    if (fault.kind == ReplyFaultKind::Late) delayMs = LateReplyMs;
    if (delayMs <= 0) {
      SendReply(spoilt, fromOtherPort, copies, datagram.senderAddress(), quint16(datagram.senderPort()));
    } else {
      pendingReplies_->At(
          arrival + std::chrono::milliseconds(delayMs),
          [this, spoilt, fromOtherPort, copies, to = datagram.senderAddress(), port = datagram.senderPort()] {
            SendReply(spoilt, fromOtherPort, copies, to, quint16(port));
          });
    }
  }
}

ReplyFault SimulatorEngine::FaultFor(const QByteArray& request, int number) {
  if (config_.chaosSeed) return ChaosFault(*config_.chaosSeed, number);
  const qsizetype zero = request.indexOf('\0');
  const QByteArray text = zero < 0 ? request : request.left(zero);
  const auto script = config_.scriptedFaults.constFind(text);
  if (script == config_.scriptedFaults.constEnd()) return {};
  const int arrival = arrivals_[text]++;
  return arrival < script->size() ? script->at(arrival) : ReplyFault{};
}

void SimulatorEngine::SendReply(const QByteArray& reply, bool fromOtherPort, int copies,
                                const QHostAddress& to, quint16 port) {
  QUdpSocket* from = fromOtherPort ? otherPortSocket_ : socket_;
  for (int i = 0; i < copies; ++i) from->writeDatagram(reply, to, port);
}
