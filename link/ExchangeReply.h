#pragma once

#include <QByteArray>
#include <QString>

// What one exchange brought: the reply's bytes as far as they were read (at most the capacity the
// exchange was given) and the length the datagram really had, which may be more. Nothing in time is an
// empty reply of length 0.
struct ExchangeReply {
  QByteArray bytes;
  int length = 0;
  QString sender;  // the address the reply came from; empty when none came
};
