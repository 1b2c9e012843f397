#include "pipeline/AlarmKeeping.h"

#include "archive/AlarmTable.h"

namespace {

// An alarm in the archive's terms.
ArchivedAlarm ArchivedAlarmOf(const Alarm& alarm, const QString& deviceKey, const DeviceType& type) {
  ArchivedAlarm archived;
  archived.deviceKey = deviceKey;
  archived.channel = alarm.column + 1;
  archived.quantity = QString::fromLatin1(QuantityOf(type.columns[size_t(alarm.column)]).key);
  archived.limit = QString::fromLatin1(LimitSideKey(alarm.side));
  archived.limitValue = alarm.limit;
  archived.start = RecordTimeText(alarm.start);
  archived.end = RecordTimeText(alarm.end);
  archived.records = alarm.records;
  archived.extreme = alarm.extreme;
  archived.open = alarm.open;
  return archived;
}

}  // namespace

void KeepAlarms(LogAlarms& found, ArchiveStore& store) {
  if (found.alarms.empty() || found.deviceKey.isEmpty()) return;
  AlarmTable table(store);
  for (size_t i = 0; i < found.alarms.size(); ++i) {
    const ArchivedAlarm archived = ArchivedAlarmOf(found.alarms[i], found.deviceKey, *found.type);
    found.isNew[i] = table.Keep(archived);
    found.isNewClear[i] = !archived.open && table.ClaimClear(archived);
  }
}

void UnreportAlarm(const LogAlarms& found, size_t index, AlarmEvent event, ArchiveStore& store) {
  if (found.deviceKey.isEmpty()) return;
  const ArchivedAlarm archived = ArchivedAlarmOf(found.alarms[index], found.deviceKey, *found.type);
  if (event == AlarmEvent::Start) {
    AlarmTable(store).Unreport(archived);
  } else {
    AlarmTable(store).UnreportClear(archived);
  }
}
