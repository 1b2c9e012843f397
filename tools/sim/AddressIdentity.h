#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <cstdint>

// The identity reply of a simulator listening on `address` and `port`: `reply` with its MAC address (the
// first 17 characters) made from the two, so that simulators on one machine are different devices to
// the registration list and the archive. The MAC is a locally administered one: the address's four
// bytes (an IPv6 address folded into four) with the two lowest bits of the first set to "local,
// unicast", then the port; 127.0.0.1 on 6262 gives "7E:00:00:01:18:76".
QByteArray AddressIdentity(const QHostAddress& address, uint16_t port, const QByteArray& reply);
