#pragma once

#include <QList>
#include <QString>

#include "decode/BlockReply.h"

// The blocks of one kind of missed reply as the window names them: "28, 29", or with their reply
// lengths "3 (40 bájt), 7 (600 bájt)" for short and oversized replies; empty when there is none.
QString MissedBlockNumbers(const QList<MissedBlock>& blocks, BlockReplyKind kind);

// The warning after a readout whose log is incomplete: "A napló hiányos: " and the blocks by what came
// (no reply, a short reply, an oversized reply).
QString IncompleteLogMessage(const QList<MissedBlock>& blocks);
