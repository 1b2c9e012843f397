#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

#include "export/ExportTable.h"

// The formats a device's records are exported in: "file" the measurement file, the others for other
// programs (spreadsheets, data frames, time series databases).
enum class ExportFormat { File, Csv, CsvExcel, Json, Influx, Xlsx };

// The format of a name ("file", "csv", "csv-excel", "json", "influx", "xlsx"); nothing for another name.
std::optional<ExportFormat> ExportFormatNamed(const QString& name);

// RFC 4180 CSV in UTF-8: a header row ("time", then each channel's label with its unit, in the installed
// translation's language), then one row per record: ISO 8601 local time with its UTC offset, the values
// with "." decimals, an empty field for a missing value; CR LF after every row. With `byteOrderMark` the
// text starts with UTF-8's byte order mark, by which spreadsheets tell UTF-8 from their code page.
QByteArray CsvExport(const ExportTable& table, bool byteOrderMark = false);

// CSV as a spreadsheet set to Hungarian or German (or another language with the decimal comma) opens
// it without asking: UTF-8 with its byte order mark, ";" between fields, the values with a decimal
// comma, the local time as "yyyy-mm-dd hh:mm", which spreadsheets take for a date and time; the header
// row, empty fields, quoting and CR LF as in CsvExport.
QByteArray SpreadsheetCsvExport(const ExportTable& table);

// How a CSV export writes its fields: RFC 4180 (with or without the byte order mark) or the
// spreadsheets' CSV above.
struct CsvStyle {
  char separator;
  char decimalPoint;
  bool byteOrderMark;
  QByteArray (*time)(const ExportTable::Row& row);
};
// The style of `format` (Csv or CsvExcel); `byteOrderMark` as CsvExport takes it.
CsvStyle CsvStyleOf(ExportFormat format, bool byteOrderMark);
// A CSV export in two parts, as an export written a piece at a time takes them: the header row (after
// the byte order mark, if any), and the rows of the table's records.
QByteArray CsvHeader(const ExportTable& table, const CsvStyle& style);
QByteArray CsvRows(const ExportTable& table, const CsvStyle& style);

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
void WriteExport(const ExportTable& table, ExportFormat format, const QString& path,
                 bool byteOrderMark = false);
