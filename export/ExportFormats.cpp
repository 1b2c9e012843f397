#include "export/ExportFormats.h"

#include <QLocale>
#include <QStringList>

#include "archive/ArchivedLine.h"
#include "core/OutputFile.h"
#include "core/ValdError.h"
#include "export/ExportWriter.h"

namespace {

constexpr qint64 NanosecondsPerSecond = 1000000000;

QByteArray Number(double value) {
  return QByteArray::number(value, 'f', QLocale::FloatingPointShortest);
}

// "2024-10-27T02:30:00+02:00": the device's local time and how far it is from UTC.
QByteArray IsoTime(const ExportTable::Row& row) {
  QByteArray text = SqlTimeOfSeconds(row.local);
  text[10] = 'T';
  const qint64 offset = row.local - row.utc;
  const qint64 minutes = qAbs(offset) / 60;
  text += offset < 0 ? '-' : '+';
  text += QByteArray::number(minutes / 60).rightJustified(2, '0') + ':' +
          QByteArray::number(minutes % 60).rightJustified(2, '0');
  return text;
}

constexpr char ByteOrderMark[] = "\xEF\xBB\xBF";

// "2024-10-27 02:30": the device's local time, as spreadsheets read a date and time.
QByteArray SpreadsheetTime(const ExportTable::Row& row) {
  return SqlTimeOfSeconds(row.local).left(16);
}

QByteArray CsvField(const QString& text, char separator) {
  const QByteArray utf8 = text.toUtf8();
  if (!utf8.contains(separator) && !utf8.contains('"') && !utf8.contains('\r') && !utf8.contains('\n'))
    return utf8;
  return '"' + QByteArray(utf8).replace("\"", "\"\"") + '"';
}

QByteArray JsonString(const QString& text) {
  QByteArray json = "\"";
  for (const char c : text.toUtf8()) {
    if (c == '"' || c == '\\') {
      json += '\\';
      json += c;
    } else if (uchar(c) < 0x20) {
      json += "\\u00" + QByteArray::number(uchar(c), 16).rightJustified(2, '0');
    } else {
      json += c;
    }
  }
  return json + '"';
}

// A tag value of the line protocol: commas, equal signs and blanks escaped.
// A tag value by the line protocol's rules: a comma, an equals sign, a blank and the backslash itself
// after a backslash, so that a value ending in one does not take the separator after it.
QByteArray InfluxTag(const QString& text) {
  QByteArray tag;
  for (const char c : text.toUtf8()) {
    if (c == ',' || c == '=' || c == ' ' || c == '\\') tag += '\\';
    tag += c;
  }
  return tag;
}

}  // namespace

std::optional<ExportFormat> ExportFormatNamed(const QString& name) {
  static const std::pair<const char*, ExportFormat> names[] = {
      {"file", ExportFormat::File}, {"csv", ExportFormat::Csv},       {"csv-excel", ExportFormat::CsvExcel},
      {"json", ExportFormat::Json}, {"influx", ExportFormat::Influx}, {"xlsx", ExportFormat::Xlsx}};
  for (const auto& [text, format] : names) {
    if (name == QLatin1String(text)) return format;
  }
  return std::nullopt;
}

QByteArray CsvExport(const ExportTable& table, bool byteOrderMark) {
  const CsvStyle style = CsvStyleOf(ExportFormat::Csv, byteOrderMark);
  return CsvHeader(table, style) + CsvRows(table, style);
}

QByteArray SpreadsheetCsvExport(const ExportTable& table) {
  const CsvStyle style = CsvStyleOf(ExportFormat::CsvExcel, true);
  return CsvHeader(table, style) + CsvRows(table, style);
}

CsvStyle CsvStyleOf(ExportFormat format, bool byteOrderMark) {
  return format == ExportFormat::CsvExcel ? CsvStyle{';', ',', true, SpreadsheetTime}
                                          : CsvStyle{',', '.', byteOrderMark, IsoTime};
}

QByteArray CsvHeader(const ExportTable& table, const CsvStyle& style) {
  QByteArray csv = style.byteOrderMark ? ByteOrderMark : "";
  csv += "time";
  for (const DeviceChannel& channel : table.channels)
    csv += style.separator + CsvField(channel.Label(), style.separator);
  return csv + "\r\n";
}

QByteArray CsvRows(const ExportTable& table, const CsvStyle& style) {
  QByteArray csv;
  for (const ExportTable::Row& row : table.rows) {
    csv += style.time(row);
    for (const DeviceChannel& channel : table.channels) {
      csv += style.separator;
      if (const std::optional<double>& value = row.values[size_t(channel.column - 1)])
        csv += Number(*value).replace('.', style.decimalPoint);
    }
    csv += "\r\n";
  }
  return csv;
}

QByteArray JsonLinesExport(const ExportTable& table) {
  const QByteArray device = JsonString(table.device);
  const QByteArray type = JsonString(table.type);
  QByteArray json;
  for (const ExportTable::Row& row : table.rows) {
    json += "{\"time\":\"" + IsoTime(row) + "\",\"device\":" + device + ",\"type\":" + type;
    for (const DeviceChannel& channel : table.channels) {
      const std::optional<double>& value = row.values[size_t(channel.column - 1)];
      json += ",\"" + channel.Key().toLatin1() + "\":" + (value ? Number(*value) : QByteArray("null"));
    }
    json += "}\n";
  }
  return json;
}

QByteArray InfluxExport(const ExportTable& table) {
  InfluxTimes times;
  return InfluxExport(table, times);
}

QByteArray InfluxExport(const ExportTable& table, InfluxTimes& times) {
  const QByteArray series = "vald,device=" + InfluxTag(table.device) + ",type=" + InfluxTag(table.type) + ' ';
  QByteArray lines;
  // Records of one minute that differ (a clock set back) would overwrite each other at one time stamp:
  // each after the first is a nanosecond later.
  for (const ExportTable::Row& row : table.rows) {
    times.sameTime = times.previousUtc == row.utc ? times.sameTime + 1 : 0;
    times.previousUtc = row.utc;
    QByteArray fields;
    for (const DeviceChannel& channel : table.channels) {
      const std::optional<double>& value = row.values[size_t(channel.column - 1)];
      if (!value) continue;
      if (!fields.isEmpty()) fields += ',';
      fields += channel.Key().toLatin1() + '=' + Number(*value);
    }
    if (fields.isEmpty()) continue;
    lines +=
        series + fields + ' ' + QByteArray::number(row.utc * NanosecondsPerSecond + times.sameTime) + '\n';
  }
  return lines;
}

void WriteExport(const ExportTable& table, ExportFormat format, const QString& path, bool byteOrderMark) {
  OutputFile file(path);
  if (!file.Open()) throw ValdError(QStringLiteral("Cannot write %1: %2").arg(path, file.ErrorString()));
  ExportWriter writer(format, table, file.Device(), path, qsizetype(table.rows.size()), byteOrderMark);
  for (const ExportTable::Row& row : table.rows) writer.Add(row);
  writer.Finish();
  if (!file.Commit()) throw ValdError(QStringLiteral("Cannot write %1: %2").arg(path, file.ErrorString()));
}
