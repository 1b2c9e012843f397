#include "tools/sim/AddressIdentity.h"

#include <algorithm>
#include <array>

namespace {

constexpr qsizetype MacLength = 17;
constexpr uint8_t LocallyAdministered = 0x02;
constexpr uint8_t UnicastAndLocalBits = 0x03;

std::array<uint8_t, 4> AddressBytes(const QHostAddress& address) {
  bool isIPv4 = false;
  const quint32 ipv4 = address.toIPv4Address(&isIPv4);
  std::array<uint8_t, 4> bytes{};
  if (isIPv4) {
    for (int i = 0; i < 4; ++i) bytes[size_t(i)] = uint8_t(ipv4 >> (24 - 8 * i));
    return bytes;
  }
  const Q_IPV6ADDR ipv6 = address.toIPv6Address();
  for (int i = 0; i < 16; ++i) bytes[size_t(i % 4)] ^= ipv6[i];
  return bytes;
}

}  // namespace

QByteArray AddressIdentity(const QHostAddress& address, uint16_t port, const QByteArray& reply) {
  std::array<uint8_t, 6> mac{};
  const std::array<uint8_t, 4> bytes = AddressBytes(address);
  std::copy(bytes.begin(), bytes.end(), mac.begin());
  mac[0] = uint8_t((mac[0] & ~UnicastAndLocalBits) | LocallyAdministered);
  mac[4] = uint8_t(port >> 8);
  mac[5] = uint8_t(port);
  QByteArray text;
  for (const uint8_t byte : mac) {
    if (!text.isEmpty()) text += ':';
    text += QByteArray::number(byte, 16).rightJustified(2, '0').toUpper();
  }
  return text + reply.mid(MacLength);
}
