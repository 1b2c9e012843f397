#pragma once

#include <QList>
#include <QString>

#include "decode/LogIntegrity.h"
#include "readout/BlockReply.h"

// How one message names the blocks that got no full reply, by what came: the texts before the block
// numbers of each kind of reply, how a short or oversized reply's length follows its block, and
// whether runs of unanswered blocks are joined ("29-31").
struct MissedBlockWording {
  QString noReply;         // "%1": the block numbers
  QString shortReply;      // "%1": the blocks with their reply lengths
  QString oversizedReply;  // "%1": the blocks with their reply lengths
  QString sizedBlock;      // "%1 (%2 bájt)": a block and its reply's length
  bool joinRuns = false;
  QString lostRecords;    // "%1": records left out as they lie on bytes that did not arrive
  QString repeatedBlock;  // "%1", "%2": a block that repeats an earlier one
  QString timeReversals;  // "%1": steps back in time
  QString invalidDates;   // "%1": records without a valid date
};

// The window's warning, the "Összes lekérdezése" report and vald_read's result line.
const MissedBlockWording& WindowWording();
const MissedBlockWording& ReadAllWording();
const MissedBlockWording& CommandLineWording();

// The blocks without a full reply in one text: each kind of reply that occurred, in the order none,
// short, oversized, then the records lost with them, joined by "; ". Empty when there is none.
QString MissedBlocksText(const QList<MissedBlock>& blocks, int lostRecords,
                         const MissedBlockWording& wording);

// What does not hold together in a log (repeated blocks, steps back in time), joined by "; "; empty for
// a log that holds together.
QString SuspectLogText(const LogIntegrity& integrity, const MissedBlockWording& wording);
// The records without a valid date, or empty when there is none.
QString InvalidDatesText(const LogIntegrity& integrity, const MissedBlockWording& wording);

// The warning after a readout whose log is incomplete: "A napló hiányos: " and the blocks by what came,
// and the records lost with them.
QString IncompleteLogMessage(const QList<MissedBlock>& blocks, int lostRecords);

// The warning after a readout whose log does not hold together: "Gyanús napló: " and what was found;
// then the records without a valid date. Empty when there is nothing to say.
QString SuspectLogMessage(const LogIntegrity& integrity);
