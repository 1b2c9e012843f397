#include "operations/IncompleteLog.h"

#include <QStringList>
#include <utility>

QString MissedBlockNumbers(const QList<MissedBlock>& blocks, BlockReplyKind kind) {
  QStringList numbers;
  for (const MissedBlock& missed : blocks) {
    if (missed.kind() != kind) continue;
    numbers << (kind == BlockReplyKind::None
                    ? QString::number(missed.block)
                    : QStringLiteral("%1 (%2 bájt)").arg(missed.block).arg(missed.replyBytes));
  }
  return numbers.join(QStringLiteral(", "));
}

QString IncompleteLogMessage(const QList<MissedBlock>& blocks) {
  const std::pair<BlockReplyKind, QString> texts[] = {
      {BlockReplyKind::None, QStringLiteral("ezekre a blokkokra nem érkezett válasz: %1")},
      {BlockReplyKind::Short, QStringLiteral("ezekre a blokkokra rövid válasz érkezett: %1")},
      {BlockReplyKind::Oversized, QStringLiteral("ezekre a blokkokra túl hosszú válasz érkezett: %1")},
  };
  QStringList parts;
  for (const auto& [kind, text] : texts) {
    const QString numbers = MissedBlockNumbers(blocks, kind);
    if (!numbers.isEmpty()) parts << text.arg(numbers);
  }
  return QStringLiteral("A napló hiányos: %1.").arg(parts.join(QStringLiteral("; ")));
}
