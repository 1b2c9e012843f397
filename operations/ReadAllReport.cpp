#include "operations/ReadAllReport.h"

#include <QFileInfo>
#include <utility>

#include "operations/IncompleteLog.h"

namespace {

// "nem válaszolt blokkok: 28, 29", then the blocks with a short or oversized reply and its length.
QString MissedBlocksText(const QList<MissedBlock>& blocks) {
  const std::pair<BlockReplyKind, QString> texts[] = {
      {BlockReplyKind::None, QStringLiteral("nem válaszolt blokkok: %1")},
      {BlockReplyKind::Short, QStringLiteral("rövid válasz: %1")},
      {BlockReplyKind::Oversized, QStringLiteral("túl hosszú válasz: %1")},
  };
  QStringList parts;
  for (const auto& [kind, text] : texts) {
    const QString numbers = MissedBlockNumbers(blocks, kind);
    if (!numbers.isEmpty()) parts << text.arg(numbers);
  }
  return parts.join(QStringLiteral("; "));
}

QString Outcome(const AddressReadout& readout) {
  const ReadoutResult& result = readout.result;
  if (!readout.error.isEmpty()) return readout.error;
  if (!result.headerAnswered) return QStringLiteral("nem válaszolt");
  if (!result.deviceFound()) return QStringLiteral("No device");
  QString outcome = QFileInfo(result.measurementFile).fileName();
  if (!result.blocksWithoutReply.isEmpty()) {
    outcome += QStringLiteral(" (a napló hiányos, %1)").arg(MissedBlocksText(result.blocksWithoutReply));
  }
  if (!result.archiveError.isEmpty())
    outcome += QStringLiteral(" (az archívum írása nem sikerült: %1)").arg(result.archiveError);
  return outcome;
}

}  // namespace

QString ReadAllReport(const QList<AddressReadout>& readouts, const QStringList& notRead) {
  QStringList lines;
  for (const AddressReadout& readout : readouts)
    lines << readout.host + QStringLiteral(": ") + Outcome(readout);
  for (const QString& host : notRead) lines << host + QStringLiteral(": megszakítva");
  return lines.join(QLatin1Char('\n'));
}
