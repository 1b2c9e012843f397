#pragma once

#include <QDateTime>
#include <QString>

#include "core/Environment.h"
#include "core/SharedState.h"
#include "core/TextLines.h"

// "Fájl" -> "Exportálás...": the current log (a readout, an opened file or a history) written for a
// spreadsheet: an xlsx workbook for a path ending in ".xlsx", else RFC 4180 CSV, with the Hungarian
// labels of the channels and the UTC offsets of the site's time zone (env.timeZone). Throws ValdError
// for a log without records or a file that cannot be written; the file is written whole or not at all.
void ExportCurrentLog(const SharedState& state, const Environment& env, const QString& path);

// "yy.mm.dd hh.nn VALD_<type>.xlsx", as the automatic measurement file of the shown device would be named.
QString SuggestedExportName(const QDateTime& now, int deviceCode);
