#include "operations/ShownLogWatch.h"

#include <QCoreApplication>

#include "archive/ArchiveLocation.h"
#include "core/ValdError.h"
#include "core/Win1250.h"
#include "files/MeasurementLine.h"
#include "pipeline/AlarmKeeping.h"
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
      lines << QCoreApplication::translate("ShownLogWatch", "... és még %1")
                   .arg(found.NewCount() - ListedAlarms);
      break;
    }
    lines << AlarmText(found.alarms[i], *found.type, decimalSeparator, QuantityNaming::Caption);
  }
  if (lines.isEmpty()) return {};
  const QString device = found.device.isEmpty() ? QString::fromLatin1(found.type->name)
                                                : QStringLiteral("%1 %2").arg(
                                                      QString::fromLatin1(found.type->name), found.device);
  lines.prepend(QCoreApplication::translate("ShownLogWatch", "Határérték-túllépés, %1: %2 új riasztás")
                    .arg(device)
                    .arg(found.NewCount()));
  return lines.join(QLatin1Char('\n'));
}

// The limits drawn on the charts, the number of alarms on the status panel and the message of the new ones.
void ShowAlarms(LogWatch& watch, WindowModel& view, const std::vector<ChannelLimit>& limits, LogAlarms alarms,
                const ShownDevice& device, int deviceCode, char decimalSeparator) {
  SetLimitLines(view, deviceCode, limits);
  if (alarms.device.isEmpty()) alarms.device = device.archiveKey;
  watch.alarms = std::move(alarms);
  view.statusPanels[AlarmPanel] =
      ToWin1250(QCoreApplication::translate("ShownLogWatch", "Riasztás: %1").arg(watch.alarms.alarms.size()));
  watch.message = AlarmMessage(watch.alarms, decimalSeparator);
}

}  // namespace

ShownDevice ShownDeviceOfReadout(const ReadoutOutcome& outcome, const ReadoutResult& result,
                                 const ReadoutRun& run) {
  ShownDevice device;
  device.names = {outcome.device.mac, result.host, outcome.device.deviceType, result.port};
  if (run.archive) device.archiveKey = outcome.device.key;
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

WindowLimits LoadWindowLimits(const ReadoutSettings& settings) {
  WindowLimits limits;
  try {
    limits.rules = LoadLimitRules(settings.limitsFile);
  } catch (const ValdError& error) {
    limits.warning = QCoreApplication::translate("ShownLogWatch", "A határértékek nem olvashatók: %1")
                         .arg(error.Message());
  }
  return limits;
}

LogWatch WatchShownLog(const SharedState& state, WindowModel& view, const Environment& env,
                       const ShownDevice& device) {
  LogWatch watch;
  view.statusPanels[AlarmPanel].clear();
  SetLimitLines(view, state.DeviceCode, {});
  const DeviceType* type = FindDeviceType(state.DeviceCode);
  if (!type) return watch;
  const WindowLimits limits = LoadWindowLimits(ReadReadoutSettings(state.SettingsLines, env));
  watch.warning = limits.warning;
  if (limits.rules.IsEmpty()) return watch;
  LogAlarms alarms = FindLogAlarms(state.LogRecords, *type, limits.rules, device.names);
  alarms.deviceKey = device.archiveKey;
  if (!device.archiveKey.isEmpty() && !alarms.alarms.empty()) {
    try {
      ArchiveStore store(ParseArchiveLocation(env.archive, env.programFolder));
      // Which alarms are new holds once the transaction that kept them has committed.
      LogAlarms kept = alarms;
      store.Change([&] { KeepAlarms(kept, store); }, alarms.deviceKey);
      alarms = std::move(kept);
    } catch (const ValdError& error) {
      watch.warning =
          QCoreApplication::translate("ShownLogWatch", "A riasztások archiválása nem sikerült: %1")
              .arg(error.Message());
    }
  }
  ShowAlarms(watch, view, limits.rules.LimitsOf(device.names, *type), std::move(alarms), device,
             state.DeviceCode, env.systemDecimalSeparator);
  return watch;
}

LogWatch WatchReadout(WindowModel& view, const ReadoutRun& run, const QString& limitsWarning,
                      const ReadoutOutcome& outcome, const ShownDevice& device, int deviceCode) {
  LogWatch watch;
  view.statusPanels[AlarmPanel].clear();
  SetLimitLines(view, deviceCode, {});
  watch.warning = limitsWarning;
  if (!outcome.alarms) return watch;
  if (!outcome.alarmsError.isEmpty())
    watch.warning = QCoreApplication::translate("ShownLogWatch", "A riasztások archiválása nem sikerült: %1")
                        .arg(outcome.alarmsError);
  ShowAlarms(watch, view, run.limits.LimitsOf(device.names, *outcome.alarms->type), *outcome.alarms, device,
             deviceCode, run.env.systemDecimalSeparator);
  return watch;
}
