#include "operations/ShownLogReport.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "archive/SiteTime.h"
#include "core/ValdError.h"
#include "files/MeasurementFile.h"
#include "report/MeasurementReport.h"
#include "watch/DailyStatistics.h"

const DeviceType& ShownLogType(const SharedState& state) {
  const DeviceType* type = FindDeviceType(state.DeviceCode);
  if (!type || state.LogRecords.IsEmpty())
    throw ValdError(QCoreApplication::translate("ShownLogReport", "Nincs megjelenített mérési napló."));
  return *type;
}

StatisticsTable ShownLogStatistics(const SharedState& state, char systemDecimalSeparator) {
  const DeviceType& type = ShownLogType(state);
  return DailyStatisticsTable(DailyStatistics(state.LogRecords, type), type, TableWording::Window,
                              systemDecimalSeparator);
}

void WriteShownLogReport(const QString& path, const SharedState& state, const Environment& env,
                         const ShownDevice& device, TableWording language) {
  const DeviceType& type = ShownLogType(state);
  const RecordLog& log = state.LogRecords;
  ReportSubject subject;
  subject.type = &type;
  subject.mac = device.names.mac;
  subject.address = device.names.host;
  subject.archiveKey = device.archiveKey;
  subject.log = &log;
  subject.limits =
      LoadLimitRules(ReadReadoutSettings(state.SettingsLines, env).limitsFile).LimitsOf(device.names, type);
  subject.made = env.now();
  subject.zone = SiteTimeZone(env.timeZone);
  subject.language = language;
  WriteMeasurementReport(path, subject);
}

QString SuggestedReportName(const SharedState& state, const Environment& env) {
  try {
    return QFileInfo(AutomaticFileName(env.now(), state.DeviceCode)).completeBaseName() +
           QStringLiteral(".pdf");
  } catch (const ValdError&) {
    return QStringLiteral("VALD.pdf");
  }
}

QString LimitsTextProblem(const QByteArray& text) {
  try {
    ReadLimitRules(text, QString::fromLatin1(LimitsFileName));
  } catch (const ValdError& error) {
    return error.Message();
  }
  return {};
}
