#include "operations/ReadAllReport.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "readout/IncompleteLog.h"

namespace {

QString Outcome(const AddressReadout& readout) {
  const ReadoutResult& result = readout.result;
  if (!readout.error.isEmpty()) return readout.error;
  if (!result.headerAnswered) return QCoreApplication::translate("ReadAllReport", "nem válaszolt");
  if (!result.deviceFound()) return QStringLiteral("No device");
  QString outcome = QFileInfo(readout.kept.measurementFile).fileName();
  if (!result.blocksWithoutReply.isEmpty()) {
    outcome += QCoreApplication::translate("ReadAllReport", " (a napló hiányos, %1)")
                   .arg(MissedBlocksText(result.blocksWithoutReply, result.lostRecords, {.brief = true}));
  }
  if (const QString suspect = SuspectLogText(result.integrity); !suspect.isEmpty())
    outcome += QCoreApplication::translate("ReadAllReport", " (gyanús napló: %1)").arg(suspect);
  if (const QString dates = InvalidDatesText(result.integrity); !dates.isEmpty())
    outcome += QStringLiteral(" (%1)").arg(dates);
  if (!readout.kept.archiveError.isEmpty()) {
    outcome += QCoreApplication::translate("ReadAllReport", " (az archívum írása nem sikerült: %1)")
                   .arg(readout.kept.archiveError);
  }
  return outcome;
}

}  // namespace

QString ReadAllReport(const QList<AddressReadout>& readouts, const QStringList& notRead) {
  QStringList lines;
  for (const AddressReadout& readout : readouts)
    lines << readout.host + QStringLiteral(": ") + Outcome(readout);
  for (const QString& host : notRead)
    lines << host + QStringLiteral(": ") + QCoreApplication::translate("ReadAllReport", "megszakítva");
  return lines.join(QLatin1Char('\n'));
}
