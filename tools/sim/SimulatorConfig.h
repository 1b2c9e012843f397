#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QTime>
#include <cstdint>
#include <optional>

#include "tools/sim/ReplyFault.h"

// What the simulated device holds and how it behaves on the wire.
struct SimulatorConfig {
  // A whole device image (see DeviceImage.h for its layout); empty = generate one from the fields below.
  QByteArray image;

  // Log header and generated log.
  int deviceCode = 2;
  int chipCode = 1;
  int32_t headerWord = 10000;  // header bytes 20..23, shown by "Read word"
  int recordCount = 1000;      // measurement records in the generated log
  bool wrapped = true;         // the ring has wrapped: newest records, the write point, then the older ones
  uint32_t seed = 1;
  // Time stamp of the oldest record; in UTC so that the records are evenly spaced on every machine.
  QDateTime start{QDate(2024, 3, 1), QTime(0, 0), Qt::UTC};
  int intervalMinutes = 10;
  int missingEveryN = 50;  // every Nth record has one value missing; 0 = never

  // Misbehaviour.
  bool silent = false;            // never replies to anything
  int replyDelayMs = 0;           // every reply waits this long
  bool punctualReplies = false;   // delayed replies leave on time to the microsecond, a core spinning for it
  bool silentHeader = false;      // no reply to the memory read of the log header
  int silentFromBlock = -1;       // no reply to log blocks from this one on; -1 = never
  int lateReplyMs = 0;            // replies wait this long instead (meant to exceed the client's time-out)
  bool duplicateReplies = false;  // every reply is sent twice
  int oversizedReplyBytes = 0;    // 0 = off; otherwise every reply is padded or cut to this many bytes

  // Faults of single replies. The nth request with a given text (its zero byte left off, e.g. "ED03")
  // gets the nth fault of that text's list; later ones are answered as usual.
  QHash<QByteArray, QList<ReplyFault>> scriptedFaults;
  // Chaos: every request gets ChaosFault(seed, its number), instead of the scripted faults.
  std::optional<uint32_t> chaosSeed;

  // Texts of the two text commands, sent followed by one zero byte.
  QByteArray identityReply = "00:1A:2B:3C:4D:5E;SN0001;R-17;AGATE;v2.3;c1";
  QByteArray netresetReply = "netreset OK";
};
