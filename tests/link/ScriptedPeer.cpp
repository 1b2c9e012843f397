#include "link/ScriptedPeer.h"

#include <QHostAddress>
#include <QNetworkDatagram>
#include <QUdpSocket>

namespace {

constexpr int RequestWaitMs = 5000;

}  // namespace

ScriptedPeer::ScriptedPeer(QList<Reply> replies, const QHostAddress& listenAddress) {
  std::promise<uint16_t> bound;
  std::future<uint16_t> port = bound.get_future();
  thread_ = std::thread(&ScriptedPeer::Serve, this, std::move(replies), listenAddress, std::move(bound));
  port_ = port.get();
}

ScriptedPeer::~ScriptedPeer() {
  thread_.join();
}

void ScriptedPeer::Serve(QList<Reply> replies, QHostAddress listenAddress, std::promise<uint16_t> bound) {
  QUdpSocket device;
  QUdpSocket stranger;
  if (!device.bind(listenAddress, 0) || !stranger.bind(QHostAddress(QStringLiteral("127.0.0.2")), 0)) {
    bound.set_value(0);
    requestPromise_.set_value({});
    return;
  }
  bound.set_value(device.localPort());
  if (!device.waitForReadyRead(RequestWaitMs)) {
    requestPromise_.set_value({});
    return;
  }
  const QNetworkDatagram request = device.receiveDatagram();
  requestPromise_.set_value(request.data());
  for (const Reply& reply : replies) {
    QUdpSocket& from = reply.fromStranger ? stranger : device;
    from.writeDatagram(reply.bytes, request.senderAddress(), quint16(request.senderPort()));
  }
}
