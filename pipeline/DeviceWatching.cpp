#include "pipeline/DeviceWatching.h"

namespace {

const QString ArchiveTimeFormat = QStringLiteral("yyyy-MM-dd hh:mm");

ArchivedAlarm ArchivedDeviceAlarm(const QString& deviceKey, const DeviceAlarm& alarm, const QTimeZone& zone) {
  ArchivedAlarm archived;
  archived.deviceKey = deviceKey;
  archived.kind = QString::fromLatin1(AlarmKindKey(alarm.kind));
  archived.limit = archived.kind;
  archived.quantity = QStringLiteral("");  // not null: the column takes none
  archived.start = alarm.start.toTimeZone(zone).toString(ArchiveTimeFormat);
  archived.end = alarm.end.toTimeZone(zone).toString(ArchiveTimeFormat);
  archived.extreme = alarm.newestRecordAgeMinutes.value_or(0);
  archived.open = alarm.open;
  return archived;
}

}  // namespace

std::vector<DeviceAlarm> WatchDevice(const ReadoutRun& run, const QString& deviceKey,
                                     const DeviceState& state) {
  std::vector<DeviceAlarm> alarms;
  if (!run.deviceWatch) return alarms;
  const std::optional<AlarmKind> raised = DeviceAlarmKind(state, *run.deviceWatch);
  // To the minute, as the archive keeps the times of alarms.
  QDateTime now = run.env.now().toTimeZone(run.zone);
  now.setTime(QTime(now.time().hour(), now.time().minute()));
  for (const AlarmKind kind : {AlarmKind::Silent, AlarmKind::Clock}) {
    DeviceAlarm alarm;
    alarm.kind = kind;
    alarm.open = raised == kind;
    alarm.start = now;
    alarm.end = now;
    alarm.newestRecordAgeMinutes = state.newestAgeMinutes;
    if (run.archive) {
      ArchivedAlarm archived = ArchivedDeviceAlarm(deviceKey, alarm, run.zone);
      run.archive->Run([&](ArchiveStore& store) {
        store.Change([&] { alarm.news = AlarmTable(store).KeepDeviceAlarm(archived); }, deviceKey);
      });
      const QDateTime kept = QDateTime::fromString(archived.start, ArchiveTimeFormat);
      alarm.start = QDateTime(kept.date(), kept.time(), run.zone);
    } else {
      alarm.news.start = alarm.open;
    }
    if (alarm.open || alarm.news.clear) alarms.push_back(alarm);
  }
  return alarms;
}

void UnreportDeviceAlarm(const QString& deviceKey, const DeviceAlarm& alarm, AlarmEvent event,
                         const QTimeZone& zone, ArchiveStore& store) {
  const ArchivedAlarm archived = ArchivedDeviceAlarm(deviceKey, alarm, zone);
  if (event == AlarmEvent::Start) {
    AlarmTable(store).Unreport(archived);
  } else {
    AlarmTable(store).UnreportClear(archived);
  }
}
