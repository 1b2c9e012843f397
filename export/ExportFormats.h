#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

#include "export/ExportTable.h"

// The formats a device's records are exported in: "file" the measurement file, the others for other
// programs (spreadsheets, data frames, time series databases).
enum class ExportFormat { File, Csv, Json, Influx, Xlsx };

// The format of a name ("file", "csv", "json", "influx", "xlsx"); nothing for another name.
std::optional<ExportFormat> ExportFormatNamed(const QString& name);

// RFC 4180 CSV in UTF-8: a header row ("time", then each channel's label with its unit, in the installed
// translation's language), then one row per record: ISO 8601 local time with its UTC offset, the values
// with "." decimals, an empty field for a missing value; CR LF after every row.
QByteArray CsvExport(const ExportTable& table);
// The same in two parts, as an export written a piece at a time takes them: the header row, and the
// rows of the table's records.
QByteArray CsvHeader(const ExportTable& table);
QByteArray CsvRows(const ExportTable& table);

// JSON lines: one object per record with "time" (ISO 8601 with offset), "device", "type" and one member
// per channel, named "<quantity>_<n>", null for a missing value.
QByteArray JsonLinesExport(const ExportTable& table);

// InfluxDB line protocol: measurement "vald", tags "device" and "type", a float field per channel
// with a value, the UTC time in nanoseconds. A record without any value gives no line.
QByteArray InfluxExport(const ExportTable& table);
// The same for a piece of an export after `times`, the time stamps of the pieces before.
struct InfluxTimes {
  std::optional<qint64> previousUtc;
  qint64 sameTime = 0;  // records before at that UTC time
};
QByteArray InfluxExport(const ExportTable& table, InfluxTimes& times);

// Writes `table` to `path` in `format` (not File), whole or not at all; throws ValdError.
void WriteExport(const ExportTable& table, ExportFormat format, const QString& path);
