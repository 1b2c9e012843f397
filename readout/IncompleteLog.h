#pragma once

#include <QList>
#include <QString>

#include "decode/LogIntegrity.h"
#include "readout/BlockReply.h"

// The messages of this file come out in the installed translation's language.

// How a message lists the blocks that got no full reply.
struct BlockListing {
  bool brief = false;     // the shorter texts of a report over many devices: "rövid válasz: 3 (40 bájt)"
  bool joinRuns = false;  // runs of unanswered blocks joined: "29-31"
};

// The blocks without a full reply in one text: each kind of reply that occurred, in the order none,
// short, oversized, then the records lost with them, joined by "; ". Empty when there is none.
QString MissedBlocksText(const QList<MissedBlock>& blocks, int lostRecords, BlockListing listing = {});

// What does not hold together in a log (repeated blocks, steps back in time), joined by "; "; empty for
// a log that holds together.
QString SuspectLogText(const LogIntegrity& integrity);
// The records without a valid date, or empty when there is none.
QString InvalidDatesText(const LogIntegrity& integrity);

// The warning after a readout whose log is incomplete: "A napló hiányos: " and the blocks by what came,
// and the records lost with them.
QString IncompleteLogMessage(const QList<MissedBlock>& blocks, int lostRecords);

// The warning after a readout whose log does not hold together: "Gyanús napló: " and what was found;
// then the records without a valid date. Empty when there is nothing to say.
QString SuspectLogMessage(const LogIntegrity& integrity);
