#pragma once

#include <QDateTime>
#include <QString>

#include "core/Environment.h"
#include "core/SharedState.h"

// "yy.mm.dd hh.nn VALD_<type>.csv" for the given local time and a known DeviceCode. Throws ValdError
// "No device" for a code outside the device type table.
QString AutomaticFileName(const QDateTime& localTime, int deviceCode);

// Writes LogLines (every line followed by CR LF) as the automatic measurement file in the program
// folder, replacing a file of the same name. Returns the path written; throws ValdError on failure,
// leaving any previous file untouched.
QString SaveAutomaticMeasurementFile(const SharedState& state, const Environment& env);
