#include "operations/ReadAllReport.h"

#include <QFileInfo>

namespace {

QString BlockNumbers(const QList<int>& blocks) {
  QStringList numbers;
  for (int block : blocks) numbers << QString::number(block);
  return numbers.join(QStringLiteral(", "));
}

QString Outcome(const AddressReadout& readout) {
  const ReadoutResult& result = readout.result;
  if (!readout.error.isEmpty()) return readout.error;
  if (!result.headerAnswered) return QStringLiteral("nem válaszolt");
  if (!result.deviceFound()) return QStringLiteral("No device");
  QString outcome = QFileInfo(result.measurementFile).fileName();
  if (!result.blocksWithoutReply.isEmpty()) {
    outcome += QStringLiteral(" (a napló hiányos, nem válaszolt blokkok: %1)")
                   .arg(BlockNumbers(result.blocksWithoutReply));
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
