#pragma once

#include <QIODevice>
#include <QString>
#include <memory>

#include "export/ExportFormats.h"
#include "export/ExportTable.h"
#include "export/XlsxWriter.h"

// Writes an export onto a device (a file being written, standard output) as its rows come, a piece at a
// time: an export of any size is never held whole. A write the device refuses throws ValdError naming
// `name`.
class ExportWriter {
 public:
  // An export of `heading`'s device and channels in `format` (not File); `records` rows are to come
  // (a workbook lays its sheets out for them); `byteOrderMark` as CsvExport takes it.
  ExportWriter(ExportFormat format, const ExportTable& heading, QIODevice& device, const QString& name,
               qsizetype records, bool byteOrderMark = false);
  ~ExportWriter();

  void Add(const ExportTable::Row& row);
  // Writes what is left.
  void Finish();

 private:
  void WritePiece();
  void Put(const QByteArray& bytes);

  ExportFormat format_;
  CsvStyle csvStyle_;
  ExportTable piece_;  // the device, its channels and the rows not written yet
  QIODevice& device_;
  QString name_;
  InfluxTimes influxTimes_;
  std::unique_ptr<XlsxWriter> workbook_;
};
