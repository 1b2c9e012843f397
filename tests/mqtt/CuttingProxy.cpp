#include "CuttingProxy.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <optional>

namespace {

constexpr int WaitLimitMs = 10000;
constexpr uint8_t ConnackType = 0x20;

// Closes a socket when it goes out of scope.
struct Socket {
  int fd = -1;
  ~Socket() {
    if (fd >= 0) close(fd);
  }
};

bool Readable(int fd) {
  pollfd ready{fd, POLLIN, 0};
  return poll(&ready, 1, WaitLimitMs) == 1;
}

std::optional<uint8_t> ReadByte(int fd) {
  uint8_t byte = 0;
  if (!Readable(fd) || read(fd, &byte, 1) != 1) return std::nullopt;
  return byte;
}

// One MQTT control packet, whole: its fixed header (the type, the remaining length in up to four
// 7-bit groups) and the rest; empty when the connection ends first.
QByteArray ReadPacket(int fd) {
  QByteArray packet;
  std::optional<uint8_t> byte = ReadByte(fd);
  if (!byte) return {};
  packet.append(char(*byte));
  int remaining = 0;
  for (int shift = 0; shift < 28; shift += 7) {
    byte = ReadByte(fd);
    if (!byte) return {};
    packet.append(char(*byte));
    remaining |= (*byte & 0x7F) << shift;
    if (!(*byte & 0x80)) break;
  }
  for (int i = 0; i < remaining; ++i) {
    byte = ReadByte(fd);
    if (!byte) return {};
    packet.append(char(*byte));
  }
  return packet;
}

sockaddr_in LoopbackAddress(uint16_t port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

}  // namespace

CuttingProxy::CuttingProxy(const QString& brokerHost, uint16_t brokerPort) {
  listener_ = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address = LoopbackAddress(0);
  socklen_t length = sizeof address;
  if (bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 || listen(listener_, 1) != 0 ||
      getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    return;
  }
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this, host = brokerHost.toLatin1(), brokerPort] { Relay(host, brokerPort); });
}

CuttingProxy::~CuttingProxy() {
  if (thread_.joinable()) thread_.join();
  if (listener_ >= 0) close(listener_);
}

bool CuttingProxy::Cut() {
  if (thread_.joinable()) thread_.join();
  return accepted_;
}

void CuttingProxy::Relay(const QByteArray& brokerHost, uint16_t brokerPort) {
  if (!Readable(listener_)) return;
  const Socket client{accept(listener_, nullptr, nullptr)};
  const QByteArray connect = ReadPacket(client.fd);
  const Socket broker{socket(AF_INET, SOCK_STREAM, 0)};
  sockaddr_in address = LoopbackAddress(brokerPort);
  if (connect.isEmpty() || inet_pton(AF_INET, brokerHost.constData(), &address.sin_addr) != 1 ||
      ::connect(broker.fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      write(broker.fd, connect.constData(), size_t(connect.size())) != connect.size()) {
    return;
  }
  // CONNACK: its flags, then the reason code, 0 for an accepted connection. The broker's socket closes
  // first, as it was declared last.
  const QByteArray connack = ReadPacket(broker.fd);
  accepted_ = connack.size() >= 4 && uint8_t(connack[0]) == ConnackType && connack[3] == 0;
}
