#pragma once

#include <QList>
#include <QString>

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
};

// The window's warning, the "Összes lekérdezése" report and vald_read's result line.
const MissedBlockWording& WindowWording();
const MissedBlockWording& ReadAllWording();
const MissedBlockWording& CommandLineWording();

// The blocks without a full reply in one text: each kind of reply that occurred, in the order none,
// short, oversized, joined by "; ". Empty when there is none.
QString MissedBlocksText(const QList<MissedBlock>& blocks, const MissedBlockWording& wording);

// The warning after a readout whose log is incomplete: "A napló hiányos: " and the blocks by what came.
QString IncompleteLogMessage(const QList<MissedBlock>& blocks);
