#include "readout/IncompleteLog.h"

#include <QStringList>

namespace {

// "3, 7-95": block numbers in order, runs of consecutive numbers joined when the wording does.
QString BlockNumbers(const QList<int>& blocks, bool joinRuns) {
  QStringList parts;
  for (qsizetype i = 0; i < blocks.size();) {
    qsizetype last = i;
    while (joinRuns && last + 1 < blocks.size() && blocks[last + 1] == blocks[last] + 1) ++last;
    parts.append(last == i ? QString::number(blocks[i])
                           : QStringLiteral("%1-%2").arg(blocks[i]).arg(blocks[last]));
    i = last + 1;
  }
  return parts.join(QStringLiteral(", "));
}

}  // namespace

const MissedBlockWording& WindowWording() {
  static const MissedBlockWording wording{
      QStringLiteral("ezekre a blokkokra nem érkezett válasz: %1"),
      QStringLiteral("ezekre a blokkokra rövid válasz érkezett: %1"),
      QStringLiteral("ezekre a blokkokra túl hosszú válasz érkezett: %1"),
      QStringLiteral("%1 (%2 bájt)"),
      false,
      QStringLiteral("%1 rekord elveszett"),
      QStringLiteral("a %1. blokk megegyezik a %2. blokkal"),
      QStringLiteral("az idő %1 helyen visszafelé lép"),
      QStringLiteral("%1 rekord dátuma érvénytelen, ezek nem kerültek az archívumba")};
  return wording;
}

const MissedBlockWording& ReadAllWording() {
  static const MissedBlockWording wording = [] {
    MissedBlockWording readAll = WindowWording();
    readAll.noReply = QStringLiteral("nem válaszolt blokkok: %1");
    readAll.shortReply = QStringLiteral("rövid válasz: %1");
    readAll.oversizedReply = QStringLiteral("túl hosszú válasz: %1");
    return readAll;
  }();
  return wording;
}

const MissedBlockWording& CommandLineWording() {
  static const MissedBlockWording wording{QStringLiteral("no reply for blocks %1"),
                                          QStringLiteral("short reply for blocks %1"),
                                          QStringLiteral("oversized reply for blocks %1"),
                                          QStringLiteral("%1 (%2 bytes)"),
                                          true,
                                          QStringLiteral("%1 records lost"),
                                          QStringLiteral("block %1 repeats block %2"),
                                          QStringLiteral("%1 steps back in time"),
                                          QStringLiteral("%1 records with an invalid date, not archived")};
  return wording;
}

QString MissedBlocksText(const QList<MissedBlock>& blocks, int lostRecords,
                         const MissedBlockWording& wording) {
  QList<int> silent;
  QStringList shortReplies;
  QStringList oversizedReplies;
  for (const MissedBlock& block : blocks) {
    const QString sized = wording.sizedBlock.arg(block.block).arg(block.replyBytes);
    if (block.kind() == BlockReplyKind::None) silent.append(block.block);
    if (block.kind() == BlockReplyKind::Short) shortReplies.append(sized);
    if (block.kind() == BlockReplyKind::Oversized) oversizedReplies.append(sized);
  }
  QStringList parts;
  if (!silent.isEmpty()) parts << wording.noReply.arg(BlockNumbers(silent, wording.joinRuns));
  if (!shortReplies.isEmpty()) parts << wording.shortReply.arg(shortReplies.join(QStringLiteral(", ")));
  if (!oversizedReplies.isEmpty())
    parts << wording.oversizedReply.arg(oversizedReplies.join(QStringLiteral(", ")));
  if (lostRecords > 0) parts << wording.lostRecords.arg(lostRecords);
  return parts.join(QStringLiteral("; "));
}

QString SuspectLogText(const LogIntegrity& integrity, const MissedBlockWording& wording) {
  QStringList parts;
  for (const RepeatedBlock& repeated : integrity.repeatedBlocks)
    parts << wording.repeatedBlock.arg(repeated.block).arg(repeated.earlierBlock);
  if (integrity.timeReversals > 0) parts << wording.timeReversals.arg(integrity.timeReversals);
  return parts.join(QStringLiteral("; "));
}

QString InvalidDatesText(const LogIntegrity& integrity, const MissedBlockWording& wording) {
  return integrity.invalidDates > 0 ? wording.invalidDates.arg(integrity.invalidDates) : QString();
}

QString IncompleteLogMessage(const QList<MissedBlock>& blocks, int lostRecords) {
  return QStringLiteral("A napló hiányos: %1.").arg(MissedBlocksText(blocks, lostRecords, WindowWording()));
}

QString SuspectLogMessage(const LogIntegrity& integrity) {
  QStringList lines;
  if (const QString suspect = SuspectLogText(integrity, WindowWording()); !suspect.isEmpty())
    lines << QStringLiteral("Gyanús napló: %1.").arg(suspect);
  if (const QString dates = InvalidDatesText(integrity, WindowWording()); !dates.isEmpty())
    lines << QStringLiteral("A naplóban %1.").arg(dates);
  return lines.join(QLatin1Char('\n'));
}
