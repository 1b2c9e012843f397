#include "ResultLine.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QJsonValue TextOrNull(const QString& text) {
  return text.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(text);
}

}  // namespace

QString ResultText(const DeviceOutcome& outcome) {
  // Without a file (--no-files) the archive is where the readout went.
  const QString written = !outcome.file.isEmpty() || !outcome.newRecordsArchived
                              ? outcome.file
                              : QStringLiteral("%1 new records archived").arg(*outcome.newRecordsArchived);
  const QString text = outcome.host + QStringLiteral(": ");
  if (written.isEmpty()) return text + outcome.error;
  if (outcome.error.isEmpty()) return text + written;
  return text + QStringLiteral("%1 (%2)").arg(written, outcome.error);
}

QByteArray ResultJson(const DeviceOutcome& outcome) {
  QJsonArray missing;
  for (const int block : outcome.missingBlocks) missing.append(block);
  QJsonObject object{
      {QStringLiteral("host"), outcome.host},
      {QStringLiteral("deviceType"), TextOrNull(outcome.deviceType)},
      {QStringLiteral("mac"), TextOrNull(outcome.mac)},
      {QStringLiteral("blocksRead"), outcome.blocksRead},
      {QStringLiteral("missingBlocks"), missing},
      {QStringLiteral("records"), outcome.records},
      {QStringLiteral("newRecordsArchived"),
       outcome.newRecordsArchived ? QJsonValue(*outcome.newRecordsArchived) : QJsonValue(QJsonValue::Null)},
      {QStringLiteral("file"), TextOrNull(outcome.file)},
      {QStringLiteral("suspect"), TextOrNull(outcome.suspect)},
      {QStringLiteral("invalidDates"), outcome.invalidDates},
      {QStringLiteral("lostRecords"), outcome.lostRecords},
      {QStringLiteral("error"), TextOrNull(outcome.error)},
      {QStringLiteral("seconds"), outcome.seconds},
  };
  if (outcome.mqtt) {
    object.insert(QStringLiteral("mqtt"), outcome.mqtt->published ? QJsonValue(QStringLiteral("published"))
                                                                  : TextOrNull(outcome.mqtt->error));
  }
  return QJsonDocument(object).toJson(QJsonDocument::Compact);
}
