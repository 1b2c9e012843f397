#include "ResultLine.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QJsonValue TextOrNull(const QString& text) {
  return text.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(text);
}

QJsonArray EventsJson(bool start, bool clear) {
  QJsonArray events;
  if (start) events.append(QString::fromLatin1(AlarmEventKey(AlarmEvent::Start)));
  if (clear) events.append(QString::fromLatin1(AlarmEventKey(AlarmEvent::Clear)));
  return events;
}

QJsonValue MinutesOrNull(const std::optional<double>& minutes) {
  return minutes ? QJsonValue(*minutes) : QJsonValue(QJsonValue::Null);
}

// The alarms with news: a limit's run, then the device's silent or clock alarm.
QJsonArray AlarmsJson(const DeviceOutcome& outcome) {
  QJsonArray alarms;
  if (outcome.alarms) {
    const LogAlarms& found = *outcome.alarms;
    for (size_t i = 0; i < found.alarms.size(); ++i) {
      if (!found.isNew[i] && !found.isNewClear[i]) continue;
      const Alarm& alarm = found.alarms[i];
      const Quantity& quantity = QuantityOf(found.type->columns[size_t(alarm.column)]);
      alarms.append(QJsonObject{
          {QStringLiteral("kind"), QString::fromLatin1(AlarmKindKey(AlarmKind::Limit))},
          {QStringLiteral("device"), found.device},
          {QStringLiteral("open"), alarm.open},
          {QStringLiteral("events"), EventsJson(found.isNew[i], found.isNewClear[i])},
          {QStringLiteral("channel"), alarm.column + 1},
          {QStringLiteral("quantity"), QString::fromLatin1(quantity.key)},
          {QStringLiteral("unit"), QString::fromUtf8(quantity.unit)},
          {QStringLiteral("limit"), QString::fromLatin1(LimitSideKey(alarm.side))},
          {QStringLiteral("value"), alarm.limit},
          {QStringLiteral("start"), RecordTimeIso(alarm.start, found.zone)},
          {QStringLiteral("end"), RecordTimeIso(alarm.end, found.zone)},
          {QStringLiteral("records"), alarm.records},
          {QStringLiteral("extreme"), alarm.extreme},
      });
    }
  }
  for (const DeviceAlarm& alarm : outcome.deviceAlarms) {
    if (!alarm.news.start && !alarm.news.clear) continue;
    alarms.append(QJsonObject{
        {QStringLiteral("kind"), QString::fromLatin1(AlarmKindKey(alarm.kind))},
        {QStringLiteral("device"), outcome.AlarmDevice()},
        {QStringLiteral("open"), alarm.open},
        {QStringLiteral("events"), EventsJson(alarm.news.start, alarm.news.clear)},
        {QStringLiteral("start"), alarm.start.toString(Qt::ISODate)},
        {QStringLiteral("end"), alarm.end.toString(Qt::ISODate)},
        {QStringLiteral("newestRecordAgeMinutes"), MinutesOrNull(alarm.newestRecordAgeMinutes)},
    });
  }
  return alarms;
}

// A device's silent or clock alarm in a line: "silent since 2024-04-01T12:00:00+02:00, newest record
// 43200 minutes old".
QString DeviceAlarmText(const DeviceAlarm& alarm) {
  const QString age =
      alarm.newestRecordAgeMinutes
          ? (*alarm.newestRecordAgeMinutes < 0
                 ? QStringLiteral("newest record %1 minutes in the future")
                       .arg(-*alarm.newestRecordAgeMinutes)
                 : QStringLiteral("newest record %1 minutes old").arg(*alarm.newestRecordAgeMinutes))
          : QStringLiteral("no record");
  const QString what =
      alarm.kind == AlarmKind::Silent ? QStringLiteral("silent") : QStringLiteral("clock off");
  return QStringLiteral("%1 since %2, %3").arg(what, alarm.start.toString(Qt::ISODate), age);
}

}  // namespace

QStringList AlarmLines(const DeviceOutcome& outcome) {
  QStringList lines;
  // An alarm that started and ended since the last report says both in its own line.
  const auto line = [&](bool start, bool clear, const QString& text) {
    if (start || clear)
      lines << QStringLiteral("%1: %2: %3")
                   .arg(outcome.host, start ? QStringLiteral("alarm") : QStringLiteral("all clear"), text);
  };
  if (outcome.alarms) {
    const LogAlarms& found = *outcome.alarms;
    for (size_t i = 0; i < found.alarms.size(); ++i)
      line(found.isNew[i], found.isNewClear[i],
           AlarmText(found.alarms[i], *found.type, '.', QuantityNaming::Key));
  }
  for (const DeviceAlarm& alarm : outcome.deviceAlarms)
    line(alarm.news.start, alarm.news.clear, DeviceAlarmText(alarm));
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
      {QStringLiteral("newestRecordAgeMinutes"), MinutesOrNull(outcome.newestRecordAgeMinutes)},
  };
  if (outcome.mqtt) {
    object.insert(QStringLiteral("mqtt"), outcome.mqtt->published ? QJsonValue(QStringLiteral("published"))
                                                                  : TextOrNull(outcome.mqtt->error));
  }
  if (outcome.alarms || !outcome.deviceAlarms.empty())
    object.insert(QStringLiteral("alarms"), AlarmsJson(outcome));
  return QJsonDocument(object).toJson(QJsonDocument::Compact);
}
