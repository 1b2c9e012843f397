#pragma once

#include <QDateTime>
#include <QString>

#include "core/Environment.h"
#include "core/TextLines.h"

// The largest measurement file the programs read ("Megnyitás", vald_archive import): ten million
// records and more, years of a device's log.
inline constexpr qint64 MaxMeasurementFileBytes = qint64(1) << 30;
// The longest line an import takes: a measurement line is a few hundred bytes at most.
inline constexpr qsizetype MaxMeasurementLineBytes = 1024;

// "yy.mm.dd hh.nn VALD_<type>.csv" for the given local time and a known DeviceCode, with " (n)" before
// " VALD_" for the n-th file of the minute from 2 on. Throws ValdError "No device" for a code outside
// the device type table.
QString AutomaticFileName(const QDateTime& localTime, int deviceCode, int number = 1);

// Writes the measurement lines of a log of the device `deviceCode` (every line followed by CR LF) as the
// automatic measurement file in the program folder. A file of the same name that holds an earlier readout of
// the same log (the device read again within the minute) is replaced; one of another device is kept, and the
// next free number of the minute is written instead. Returns the path written; throws ValdError on failure,
// leaving any previous file untouched.
QString SaveAutomaticMeasurementFile(const TextLines& lines, int deviceCode, const Environment& env);
