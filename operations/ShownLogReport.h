#pragma once

#include <QString>

#include "core/Environment.h"
#include "core/SharedState.h"
#include "export/StatisticsTable.h"
#include "operations/ShownLogWatch.h"

// The shown log's catalogue row. Throws ValdError when no log of a known device type is shown: it has
// no statistics and no report.
const DeviceType& ShownLogType(const SharedState& state);

// "Statisztika...": the daily statistics of the shown log, numbers with the system's decimal separator.
// Throws ValdError when no log of a known device type is shown.
StatisticsTable ShownLogStatistics(const SharedState& state, char systemDecimalSeparator);

// "Jelentés...": the report of the shown log (WriteMeasurementReport) in `language` with the limits of
// the window's limits file, its times in the site's time zone. Throws ValdError when no log of a known device
// type is shown, the limits file is malformed or the file cannot be written.
void WriteShownLogReport(const QString& path, const SharedState& state, const Environment& env,
                         const ShownDevice& device, TableWording language);

// The name a report of the shown log is offered under: "yy.mm.dd hh.nn VALD_<type>.pdf".
QString SuggestedReportName(const SharedState& state, const Environment& env);

// What is wrong with a limits file's text, with its line; empty when nothing.
QString LimitsTextProblem(const QByteArray& text);
