#include "link/ExchangeSocket.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QLoggingCategory>
#include <QSocketNotifier>
#include <cerrno>
#include <cstring>

#include "core/ValdError.h"

Q_LOGGING_CATEGORY(lcLink, "vald.link", QtWarningMsg)

// A socket address of either family.
struct SocketAddress {
  sockaddr_storage storage{};
  socklen_t length = 0;

  int Family() const { return storage.ss_family; }
  const sockaddr* Raw() const { return reinterpret_cast<const sockaddr*>(&storage); }
  // The IPv4 address, also of an IPv4-mapped IPv6 address; nothing for another IPv6 address.
  std::optional<in_addr> IPv4() const {
    if (Family() == AF_INET) return reinterpret_cast<const sockaddr_in*>(&storage)->sin_addr;
    const in6_addr& v6 = reinterpret_cast<const sockaddr_in6*>(&storage)->sin6_addr;
    if (!IN6_IS_ADDR_V4MAPPED(&v6)) return std::nullopt;
    in_addr v4;
    std::memcpy(&v4, v6.s6_addr + 12, sizeof v4);
    return v4;
  }
  bool SameHost(const SocketAddress& other) const {
    const std::optional<in_addr> mine = IPv4();
    const std::optional<in_addr> theirs = other.IPv4();
    if (mine || theirs) return mine && theirs && mine->s_addr == theirs->s_addr;
    const auto& a = reinterpret_cast<const sockaddr_in6*>(&storage)->sin6_addr;
    const auto& b = reinterpret_cast<const sockaddr_in6*>(&other.storage)->sin6_addr;
    return std::memcmp(&a, &b, sizeof a) == 0;
  }
  // An IPv4 sender as IPv4, even in IPv6 form.
  QString Text() const {
    char text[INET6_ADDRSTRLEN] = {};
    if (const std::optional<in_addr> v4 = IPv4()) {
      inet_ntop(AF_INET, &*v4, text, sizeof text);
    } else {
      inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6*>(&storage)->sin6_addr, text, sizeof text);
    }
    return QString::fromLatin1(text);
  }
  void SetPort(uint16_t port) {
    if (Family() == AF_INET) {
      reinterpret_cast<sockaddr_in*>(&storage)->sin_port = htons(port);
    } else {
      reinterpret_cast<sockaddr_in6*>(&storage)->sin6_port = htons(port);
    }
  }
};

namespace {

QString ErrorText(int error) {
  return QString::fromLocal8Bit(std::strerror(error));
}

SocketAddress ResolveHost(const QString& host) {
  SocketAddress address;
  const QByteArray text = host.toUtf8();
  auto* v4 = reinterpret_cast<sockaddr_in*>(&address.storage);
  auto* v6 = reinterpret_cast<sockaddr_in6*>(&address.storage);
  if (inet_pton(AF_INET, text.constData(), &v4->sin_addr) == 1) {
    v4->sin_family = AF_INET;
    address.length = sizeof(sockaddr_in);
    return address;
  }
  if (inet_pton(AF_INET6, text.constData(), &v6->sin6_addr) == 1) {
    v6->sin6_family = AF_INET6;
    address.length = sizeof(sockaddr_in6);
    return address;
  }
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_DGRAM;
  addrinfo* found = nullptr;
  const int result = getaddrinfo(text.constData(), nullptr, &hints, &found);
  if (result != 0 || !found) {
    throw ValdError(QStringLiteral("Cannot resolve host '%1'. %2")
                        .arg(host, QString::fromLocal8Bit(result == EAI_SYSTEM ? std::strerror(errno)
                                                                               : gai_strerror(result))));
  }
  // Devices speak IPv4; take an IPv4 address when the name has one.
  const addrinfo* chosen = found;
  for (const addrinfo* entry = found; entry; entry = entry->ai_next) {
    if (entry->ai_family == AF_INET) {
      chosen = entry;
      break;
    }
  }
  std::memcpy(&address.storage, chosen->ai_addr, chosen->ai_addrlen);
  address.length = chosen->ai_addrlen;
  freeaddrinfo(found);
  return address;
}

// A reply to a broadcast request comes from the device's own address, so any sender is accepted then.
bool IsBroadcast(const SocketAddress& address) {
  const std::optional<in_addr> v4 = address.IPv4();
  if (!v4) return false;
  if (v4->s_addr == htonl(INADDR_BROADCAST)) return true;
  ifaddrs* interfaces = nullptr;
  if (getifaddrs(&interfaces) != 0) return false;
  bool broadcast = false;
  for (const ifaddrs* entry = interfaces; entry && !broadcast; entry = entry->ifa_next) {
    if ((entry->ifa_flags & IFF_BROADCAST) && entry->ifa_broadaddr &&
        entry->ifa_broadaddr->sa_family == AF_INET)
      broadcast = reinterpret_cast<const sockaddr_in*>(entry->ifa_broadaddr)->sin_addr.s_addr == v4->s_addr;
  }
  freeifaddrs(interfaces);
  return broadcast;
}

}  // namespace

ExchangeSocket::ExchangeSocket(const DeviceLink& link)
    : host_(link.host), device_(std::make_unique<SocketAddress>(ResolveHost(link.host))) {
  descriptor_ = ::socket(device_->Family(), SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  const auto fail = [this] {
    const int error = errno;
    Close();
    throw ValdError(QStringLiteral("Socket error talking to %1: %2").arg(host_, ErrorText(error)));
  };
  if (descriptor_ < 0) fail();
  const int on = 1;
  if (setsockopt(descriptor_, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) != 0) fail();
  SocketAddress local;
  local.storage.ss_family = sa_family_t(device_->Family());
  local.length = device_->length;
  if (::bind(descriptor_, local.Raw(), local.length) != 0) fail();
}

ExchangeSocket::~ExchangeSocket() {
  Close();
}

uint16_t ExchangeSocket::LocalPort() const {
  SocketAddress local;
  local.length = sizeof local.storage;
  if (getsockname(descriptor_, reinterpret_cast<sockaddr*>(&local.storage), &local.length) != 0) return 0;
  return ntohs(local.Family() == AF_INET ? reinterpret_cast<const sockaddr_in*>(&local.storage)->sin_port
                                         : reinterpret_cast<const sockaddr_in6*>(&local.storage)->sin6_port);
}

void ExchangeSocket::Send(const QByteArray& datagram, uint16_t port) {
  while (::recv(descriptor_, nullptr, 0, MSG_DONTWAIT | MSG_TRUNC) >= 0) {
  }
  SocketAddress target = *device_;
  target.SetPort(port);
  const ssize_t sent =
      ::sendto(descriptor_, datagram.constData(), size_t(datagram.size()), 0, target.Raw(), target.length);
  if (sent != datagram.size()) {
    throw ValdError(
        QStringLiteral("Socket error sending to %1: %2").arg(host_, ErrorText(sent < 0 ? errno : EMSGSIZE)));
  }
  qCDebug(lcLink) << "sent" << datagram.size() << "bytes to" << device_->Text() << port;
}

bool ExchangeSocket::HasDatagram() {
  if (::recv(descriptor_, nullptr, 0, MSG_PEEK | MSG_DONTWAIT) >= 0) return true;
  return errno != EAGAIN && errno != EWOULDBLOCK;
}

bool ExchangeSocket::WaitForDatagram(int timeoutMs) {
  const QDeadlineTimer deadline(timeoutMs);
  for (;;) {
    pollfd wanted{descriptor_, POLLIN, 0};
    const int ready = ::poll(&wanted, 1, int(deadline.remainingTime()));
    if (ready >= 0) return true;
    if (errno != EINTR) {
      lastError_ = errno;
      return false;
    }
  }
}

std::optional<ExchangeReply> ExchangeSocket::TakeReply(int capacity) {
  // The true length first: only `capacity` bytes are read, and a longer reply is reported as such.
  const ssize_t length = ::recv(descriptor_, nullptr, 0, MSG_PEEK | MSG_TRUNC | MSG_DONTWAIT);
  if (length < 0) {
    if (errno == EAGAIN || errno == EWOULDBLOCK) return std::nullopt;
    lastError_ = errno;
    return NoReplyUnlessFailed();
  }
  QByteArray bytes(std::max(capacity, 1), Qt::Uninitialized);
  SocketAddress sender;
  sender.length = sizeof sender.storage;
  const ssize_t read = ::recvfrom(descriptor_, bytes.data(), size_t(capacity), 0,
                                  reinterpret_cast<sockaddr*>(&sender.storage), &sender.length);
  if (read < 0) {
    lastError_ = errno;
    return NoReplyUnlessFailed();
  }
  bytes.truncate(qsizetype(read));
  if (!sender.SameHost(*device_)) {
    if (!anySender_) anySender_ = IsBroadcast(*device_);
    if (!*anySender_) {
      qCDebug(lcLink) << "ignored a datagram from" << sender.Text();
      return std::nullopt;
    }
  }
  ExchangeReply reply{bytes, int(std::max<ssize_t>(length, read)), sender.Text()};
  qCDebug(lcLink) << "received" << reply.length << "bytes from" << reply.sender;
  return reply;
}

ExchangeReply ExchangeSocket::NoReplyUnlessFailed() const {
  if (lastError_ != ECONNREFUSED) {
    throw ValdError(QStringLiteral("Socket error receiving from %1: %2").arg(host_, ErrorText(lastError_)));
  }
  qCDebug(lcLink) << "nothing listens on" << host_;
  return {};
}

void ExchangeSocket::WhenReadable(QObject* context, std::function<void()> readable) {
  if (!notifier_) notifier_ = std::make_unique<QSocketNotifier>(descriptor_, QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, context, std::move(readable));
  notifier_->setEnabled(true);
}

void ExchangeSocket::StopNotifying() {
  if (!notifier_) return;
  notifier_->setEnabled(false);
  notifier_->disconnect();
}

void ExchangeSocket::Close() {
  StopNotifying();
  if (descriptor_ >= 0) ::close(descriptor_);
  descriptor_ = -1;
}

std::unique_ptr<ExchangeSocket> OpenExchangeSocket(const DeviceLink& link) {
  return std::make_unique<ExchangeSocket>(link);
}
