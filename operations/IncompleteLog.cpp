#include "operations/IncompleteLog.h"

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
  static const MissedBlockWording wording{QStringLiteral("ezekre a blokkokra nem érkezett válasz: %1"),
                                          QStringLiteral("ezekre a blokkokra rövid válasz érkezett: %1"),
                                          QStringLiteral("ezekre a blokkokra túl hosszú válasz érkezett: %1"),
                                          QStringLiteral("%1 (%2 bájt)")};
  return wording;
}

const MissedBlockWording& ReadAllWording() {
  static const MissedBlockWording wording{
      QStringLiteral("nem válaszolt blokkok: %1"), QStringLiteral("rövid válasz: %1"),
      QStringLiteral("túl hosszú válasz: %1"), QStringLiteral("%1 (%2 bájt)")};
  return wording;
}

const MissedBlockWording& CommandLineWording() {
  static const MissedBlockWording wording{
      QStringLiteral("no reply for blocks %1"), QStringLiteral("short reply for blocks %1"),
      QStringLiteral("oversized reply for blocks %1"), QStringLiteral("%1 (%2 bytes)"), true};
  return wording;
}

QString MissedBlocksText(const QList<MissedBlock>& blocks, const MissedBlockWording& wording) {
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
  return parts.join(QStringLiteral("; "));
}

QString IncompleteLogMessage(const QList<MissedBlock>& blocks) {
  return QStringLiteral("A napló hiányos: %1.").arg(MissedBlocksText(blocks, WindowWording()));
}
