#include "ResultLine.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QJsonValue TextOrNull(const QString& text) {
  return text.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(text);
}

QJsonArray NewAlarmsJson(const LogAlarms& found) {
  QJsonArray alarms;
  for (size_t i = 0; i < found.alarms.size(); ++i) {
    if (!found.isNew[i]) continue;
    const Alarm& alarm = found.alarms[i];
    const Quantity& quantity = QuantityOf(found.type->columns[size_t(alarm.column)]);
    alarms.append(QJsonObject{
        {QStringLiteral("device"), found.device},
        {QStringLiteral("channel"), alarm.column + 1},
        {QStringLiteral("quantity"), QString::fromLatin1(quantity.key)},
        {QStringLiteral("unit"), QString::fromUtf8(quantity.unit)},
        {QStringLiteral("limit"), QString::fromLatin1(LimitSideKey(alarm.side))},
        {QStringLiteral("value"), alarm.limit},
        {QStringLiteral("start"), RecordTimeText(alarm.start)},
        {QStringLiteral("end"), RecordTimeText(alarm.end)},
        {QStringLiteral("records"), alarm.records},
        {QStringLiteral("extreme"), alarm.extreme},
    });
  }
  return alarms;
}

}  // namespace

QStringList AlarmLines(const DeviceOutcome& outcome) {
  QStringList lines;
  if (!outcome.alarms) return lines;
  const LogAlarms& found = *outcome.alarms;
  for (size_t i = 0; i < found.alarms.size(); ++i) {
    if (found.isNew[i])
      lines << QStringLiteral("%1: alarm: %2")
                   .arg(outcome.host, AlarmText(found.alarms[i], *found.type, '.', QuantityNaming::Key));
  }
  return lines;
}

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
      {QStringLiteral("readout"),
       outcome.incremental ? QStringLiteral("incremental") : QStringLiteral("full")},
      {QStringLiteral("fullReason"), TextOrNull(outcome.fullReason)},
      {QStringLiteral("blockRequests"), outcome.blockRequests},
  };
  if (outcome.mqtt) {
    object.insert(QStringLiteral("mqtt"), outcome.mqtt->published ? QJsonValue(QStringLiteral("published"))
                                                                  : TextOrNull(outcome.mqtt->error));
  }
  if (outcome.alarms) object.insert(QStringLiteral("alarms"), NewAlarmsJson(*outcome.alarms));
  return QJsonDocument(object).toJson(QJsonDocument::Compact);
}
