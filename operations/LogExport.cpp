#include "operations/LogExport.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "archive/SiteTime.h"
#include "core/ValdError.h"
#include "export/ExportFormats.h"
#include "files/MeasurementFile.h"
#include "files/MeasurementLine.h"

void ExportCurrentLog(const SharedState& state, const Environment& env, const QString& path) {
  const ExportTable table = ExportOfLog(state.LogRecords, state.DeviceCode, SiteTimeZone(env.timeZone));
  if (table.rows.empty())
    throw ValdError(QCoreApplication::translate("LogExport", "Nincs exportálható mérés."));
  const bool workbook = path.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive);
  WriteExport(table, workbook ? ExportFormat::Xlsx : ExportFormat::Csv, path);
}

QString SuggestedExportName(const QDateTime& now, int deviceCode) {
  try {
    return QFileInfo(AutomaticFileName(now, deviceCode)).completeBaseName() + QStringLiteral(".xlsx");
  } catch (const ValdError&) {
    return QStringLiteral("VALD.xlsx");
  }
}
