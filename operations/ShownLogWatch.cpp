#include "operations/ShownLogWatch.h"

#include "archive/ArchiveLocation.h"
#include "core/ValdError.h"
#include "core/Win1250.h"
#include "files/MeasurementLine.h"
#include "operations/Readout.h"
#include "operations/ReadoutArchive.h"
#include "views/LimitLines.h"

namespace {

constexpr int AlarmPanel = 4;
// A message box lists this many alarms; the rest are counted.
constexpr int ListedAlarms = 20;

QString AlarmMessage(const LogAlarms& found, char decimalSeparator) {
  QStringList lines;
  for (size_t i = 0; i < found.alarms.size(); ++i) {
    if (!found.isNew[i]) continue;
    if (lines.size() == ListedAlarms) {
      lines << QStringLiteral("... és még %1").arg(found.NewCount() - ListedAlarms);
      break;
    }
    lines << AlarmTextHu(found.alarms[i], *found.type, decimalSeparator);
  }
  if (lines.isEmpty()) return {};
  const QString device = found.device.isEmpty() ? QString::fromLatin1(found.type->name)
                                                : QStringLiteral("%1 %2").arg(
                                                      QString::fromLatin1(found.type->name), found.device);
  lines.prepend(QStringLiteral("Határérték-túllépés, %1: %2 új riasztás").arg(device).arg(found.NewCount()));
  return lines.join(QLatin1Char('\n'));
}

}  // namespace

ShownDevice ShownDeviceOfReadout(const ReadoutResult& result, int deviceCode, const Environment& env) {
  const DeviceIdentity identity = IdentifyDevice(result.identity, result, deviceCode);
  ShownDevice device;
  device.names = {identity.mac, result.host, identity.deviceType};
  if (ReadoutWantsIdentity(env)) device.archiveKey = identity.key;
  return device;
}

ShownDevice ShownDeviceOfFile(int deviceCode) {
  const DeviceType* type = FindDeviceType(deviceCode);
  ShownDevice device;
  if (type) device.names.type = QString::fromLatin1(type->name);
  return device;
}

ShownDevice ShownDeviceOfHistory(const ArchivedDevice& archived) {
  ShownDevice device;
  device.names = {archived.mac, archived.lastAddress, archived.deviceType};
  return device;
}

RecordLog ShownRecords(const SharedState& state) {
  return state.LogRecordsMatch() ? state.LogRecords : ReadMeasurementLines(state.LogLines);
}

LogWatch WatchShownLog(const SharedState& state, WindowModel& view, const Environment& env,
                       const ShownDevice& device) {
  LogWatch watch;
  view.statusPanels[AlarmPanel].clear();
  SetLimitLines(view, state.DeviceCode, {});
  const DeviceType* type = FindDeviceType(state.DeviceCode);
  if (!type) return watch;
  LimitRules rules;
  try {
    rules = LoadLimitRules(LimitsFilePath(state, env));
  } catch (const ValdError& error) {
    watch.warning = QStringLiteral("A határértékek nem olvashatók: %1").arg(error.Message());
    return watch;
  }
  if (rules.IsEmpty()) return watch;
  const std::vector<ChannelLimit> limits = rules.LimitsOf(device.names, *type);
  SetLimitLines(view, state.DeviceCode, limits);
  watch.alarms = FindLogAlarms(ShownRecords(state), *type, rules, device.names);
  if (watch.alarms.device.isEmpty()) watch.alarms.device = device.archiveKey;
  watch.alarms.deviceKey = device.archiveKey;
  if (!device.archiveKey.isEmpty() && !watch.alarms.alarms.empty()) {
    try {
      ArchiveStore store(ParseArchiveLocation(env.archive, env.programFolder));
      KeepAlarms(watch.alarms, store);
    } catch (const ValdError& error) {
      watch.warning = QStringLiteral("A riasztások archiválása nem sikerült: %1").arg(error.Message());
    }
  }
  view.statusPanels[AlarmPanel] = ToWin1250(QStringLiteral("Riasztás: %1").arg(watch.alarms.alarms.size()));
  watch.message = AlarmMessage(watch.alarms, env.systemDecimalSeparator);
  return watch;
}
