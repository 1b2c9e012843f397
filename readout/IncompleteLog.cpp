#include "readout/IncompleteLog.h"

#include <QCoreApplication>
#include <QStringList>

namespace {

// A text of this file, marked with QT_TRANSLATE_NOOP, in the installed translation's language.
QString Translated(const char* text) {
  return QCoreApplication::translate("IncompleteLog", text);
}

// "3, 7-95": block numbers in order, runs of consecutive numbers joined when asked.
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

QString MissedBlocksText(const QList<MissedBlock>& blocks, int lostRecords, BlockListing listing) {
  QList<int> silent;
  QStringList shortReplies;
  QStringList oversizedReplies;
  for (const MissedBlock& block : blocks) {
    const QString sized =
        Translated(QT_TRANSLATE_NOOP("IncompleteLog", "%1 (%2 bájt)")).arg(block.block).arg(block.replyBytes);
    if (block.kind() == BlockReplyKind::None) silent.append(block.block);
    if (block.kind() == BlockReplyKind::Short) shortReplies.append(sized);
    if (block.kind() == BlockReplyKind::Oversized) oversizedReplies.append(sized);
  }
  QStringList parts;
  if (!silent.isEmpty()) {
    parts << Translated(listing.brief ? QT_TRANSLATE_NOOP("IncompleteLog", "nem válaszolt blokkok: %1")
                                      : QT_TRANSLATE_NOOP("IncompleteLog",
                                                          "ezekre a blokkokra nem érkezett válasz: %1"))
                 .arg(BlockNumbers(silent, listing.joinRuns));
  }
  if (!shortReplies.isEmpty()) {
    parts << Translated(listing.brief ? QT_TRANSLATE_NOOP("IncompleteLog", "rövid válasz: %1")
                                      : QT_TRANSLATE_NOOP("IncompleteLog",
                                                          "ezekre a blokkokra rövid válasz érkezett: %1"))
                 .arg(shortReplies.join(QStringLiteral(", ")));
  }
  if (!oversizedReplies.isEmpty()) {
    parts << Translated(listing.brief
                            ? QT_TRANSLATE_NOOP("IncompleteLog", "túl hosszú válasz: %1")
                            : QT_TRANSLATE_NOOP("IncompleteLog",
                                                "ezekre a blokkokra túl hosszú válasz érkezett: %1"))
                 .arg(oversizedReplies.join(QStringLiteral(", ")));
  }
  if (lostRecords > 0)
    parts << Translated(QT_TRANSLATE_NOOP("IncompleteLog", "%1 rekord elveszett")).arg(lostRecords);
  return parts.join(QStringLiteral("; "));
}

QString SuspectLogText(const LogIntegrity& integrity) {
  QStringList parts;
  for (const RepeatedBlock& repeated : integrity.repeatedBlocks) {
    parts << Translated(QT_TRANSLATE_NOOP("IncompleteLog", "a %1. blokk megegyezik a %2. blokkal"))
                 .arg(repeated.block)
                 .arg(repeated.earlierBlock);
  }
  if (integrity.timeReversals > 0) {
    parts << Translated(QT_TRANSLATE_NOOP("IncompleteLog", "az idő %1 helyen visszafelé lép"))
                 .arg(integrity.timeReversals);
  }
  return parts.join(QStringLiteral("; "));
}

QString InvalidDatesText(const LogIntegrity& integrity) {
  if (integrity.invalidDates == 0) return {};
  return Translated(QT_TRANSLATE_NOOP("IncompleteLog",
                                      "%1 rekord dátuma érvénytelen, ezek nem kerültek az archívumba"))
      .arg(integrity.invalidDates);
}

QString IncompleteLogMessage(const QList<MissedBlock>& blocks, int lostRecords) {
  return Translated(QT_TRANSLATE_NOOP("IncompleteLog", "A napló hiányos: %1."))
      .arg(MissedBlocksText(blocks, lostRecords));
}

QString SuspectLogMessage(const LogIntegrity& integrity) {
  QStringList lines;
  if (const QString suspect = SuspectLogText(integrity); !suspect.isEmpty())
    lines << Translated(QT_TRANSLATE_NOOP("IncompleteLog", "Gyanús napló: %1.")).arg(suspect);
  if (const QString dates = InvalidDatesText(integrity); !dates.isEmpty())
    lines << Translated(QT_TRANSLATE_NOOP("IncompleteLog", "A naplóban %1.")).arg(dates);
  return lines.join(QLatin1Char('\n'));
}
