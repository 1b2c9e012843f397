#include "link/StrangerFlood.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QNetworkDatagram>
#include <QUdpSocket>
#include <array>

namespace {

constexpr int DatagramsPerCall = 64;

// A plain UDP socket bound to 127.0.0.2 on a port the system chooses, or -1.
int StrangerSocket() {
  const int socket = ::socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK + 1);
  if (socket >= 0 && ::bind(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
    return socket;
  }
  if (socket >= 0) ::close(socket);
  return -1;
}

}  // namespace

StrangerFlood::StrangerFlood() {
  std::promise<uint16_t> bound;
  std::future<uint16_t> port = bound.get_future();
  thread_ = std::thread(&StrangerFlood::Serve, this, std::move(bound));
  port_ = port.get();
}

StrangerFlood::~StrangerFlood() {
  stopping_ = true;
  thread_.join();
}

void StrangerFlood::Serve(std::promise<uint16_t> bound) {
  QUdpSocket device;
  const int stranger = StrangerSocket();
  if (stranger < 0 || !device.bind(QHostAddress::LocalHost, 0)) {
    if (stranger >= 0) ::close(stranger);
    bound.set_value(0);
    return;
  }
  bound.set_value(device.localPort());
  const QDeadlineTimer waitForRequest(FloodMs);
  while (!stopping_ && !device.hasPendingDatagrams() && !waitForRequest.hasExpired())
    device.waitForReadyRead(10);
  if (device.hasPendingDatagrams()) {
    const QNetworkDatagram request = device.receiveDatagram();
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(request.senderAddress().toIPv4Address());
    to.sin_port = htons(uint16_t(request.senderPort()));
    char noise[16] = "noise";
    iovec part{noise, sizeof noise};
    std::array<mmsghdr, DatagramsPerCall> datagrams{};
    for (mmsghdr& datagram : datagrams) {
      datagram.msg_hdr.msg_name = &to;
      datagram.msg_hdr.msg_namelen = sizeof to;
      datagram.msg_hdr.msg_iov = &part;
      datagram.msg_hdr.msg_iovlen = 1;
    }
    const QDeadlineTimer flood(FloodMs);
    while (!stopping_ && !flood.hasExpired()) {
      const int sent = ::sendmmsg(stranger, datagrams.data(), DatagramsPerCall, 0);
      if (sent > 0) sent_ += sent;
    }
  }
  ::close(stranger);
}
