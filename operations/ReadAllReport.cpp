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
  const QString file = QFileInfo(result.measurementFile).fileName();
  if (result.blocksWithoutReply.isEmpty()) return file;
  return QStringLiteral("%1 (a napló hiányos, nem válaszolt blokkok: %2)")
      .arg(file, BlockNumbers(result.blocksWithoutReply));
}

}  // namespace

QString ReadAllReport(const QList<AddressReadout>& readouts, const QStringList& notRead) {
  QStringList lines;
  for (const AddressReadout& readout : readouts)
    lines << readout.host + QStringLiteral(": ") + Outcome(readout);
  for (const QString& host : notRead) lines << host + QStringLiteral(": megszakítva");
  return lines.join(QLatin1Char('\n'));
}
