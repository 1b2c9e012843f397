#include "fuzz/LoopbackDevice.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace {

sockaddr_in Loopback(uint16_t port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port);
  return address;
}

}  // namespace

LoopbackDevice::LoopbackDevice(Answer answer) : answer_(std::move(answer)) {
  socket_ = socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in address = Loopback(0);
  socklen_t length = sizeof address;
  if (socket_ < 0 || bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    throw std::runtime_error("the loopback device cannot bind a port");
  }
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] { Serve(); });
}

LoopbackDevice::~LoopbackDevice() {
  // A datagram of our own wakes the receive so that the thread sees the stop.
  stopping_ = true;
  const int waker = socket(AF_INET, SOCK_DGRAM, 0);
  const sockaddr_in address = Loopback(port_);
  sendto(waker, "", 0, 0, reinterpret_cast<const sockaddr*>(&address), sizeof address);
  close(waker);
  thread_.join();
  close(socket_);
}

void LoopbackDevice::Serve() {
  // Room for any datagram, so that an oversized request reaches the answer whole.
  QByteArray request(65536, '\0');
  while (true) {
    sockaddr_in sender{};
    socklen_t length = sizeof sender;
    const ssize_t received = recvfrom(socket_, request.data(), size_t(request.size()), 0,
                                      reinterpret_cast<sockaddr*>(&sender), &length);
    if (stopping_) return;
    if (received < 0) continue;
    const std::optional<QByteArray> reply = answer_(request.first(received));
    if (!reply) continue;
    sendto(socket_, reply->constData(), size_t(reply->size()), 0, reinterpret_cast<sockaddr*>(&sender),
           length);
  }
}
