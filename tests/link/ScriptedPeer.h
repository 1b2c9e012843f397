#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <cstdint>
#include <future>
#include <thread>

// A one-shot device played by the test on its own thread: it waits for one request (on 127.0.0.1
// unless told otherwise) and then sends each scripted reply, either from its own socket or from a
// stranger's socket bound to 127.0.0.2, so that the exchange under test sees exactly these datagrams
// in this order.
class ScriptedPeer {
 public:
  struct Reply {
    bool fromStranger;
    QByteArray bytes;
  };

  explicit ScriptedPeer(QList<Reply> replies, const QHostAddress& listenAddress = QHostAddress::LocalHost);
  ~ScriptedPeer();

  // 0 when the sockets could not be bound (no second loopback address on this system).
  uint16_t Port() const { return port_; }
  QByteArray Request() { return request_.get(); }

 private:
  void Serve(QList<Reply> replies, QHostAddress listenAddress, std::promise<uint16_t> bound);

  std::promise<QByteArray> requestPromise_;
  std::future<QByteArray> request_ = requestPromise_.get_future();
  std::thread thread_;
  uint16_t port_ = 0;
};
