#pragma once

#include <QByteArray>
#include <QString>

#include "core/TextLines.h"

// The name "Mentés" writes for the path chosen in the save dialog: the path without its last four
// characters (the extension the dialog added or the user typed), "_", the device name shown in
// LabelDevice (Windows-1250 bytes) and ".csv". "D:/meres/januar.csv" with AGATE gives
// "D:/meres/januar_AGATE.csv".
QString UserSaveFileName(const QString& chosenPath, const QByteArray& deviceLabel);

// Writes the shown log's measurement lines (every line followed by CR LF) under UserSaveFileName,
// replacing a file of that name without asking. Returns the path written; throws ValdError naming the
// file and the reason on failure, leaving any previous file untouched.
QString SaveUserMeasurementFile(const TextLines& lines, const QByteArray& deviceLabel,
                                const QString& chosenPath);
