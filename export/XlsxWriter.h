#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include "export/ExportTable.h"
#include "export/ZipWriter.h"

// A sheet holds the header and at most `rowsPerSheet` records (by default the most a spreadsheet's
// 1 048 576 rows allow); the records go on on further sheets ("Sheet2", ...), each with the header.
inline constexpr qsizetype XlsxRowsPerSheet = 1048575;
int XlsxSheetsFor(qsizetype records, qsizetype rowsPerSheet = XlsxRowsPerSheet);

// An xlsx workbook written onto a device as its rows come: a header row as in the CSV export, then one
// row per record with its local and UTC times as dates and its values as numbers. The sheets are laid
// out for the `records` rows announced; a row past them throws ValdError naming `path`, as does a write
// the device refuses.
class XlsxWriter {
 public:
  XlsxWriter(QIODevice& device, const QString& path, const ExportTable& heading, qsizetype records,
             qsizetype rowsPerSheet = XlsxRowsPerSheet);

  void Add(const ExportTable::Row& row);
  // Ends the last sheet and the workbook.
  void Finish();

 private:
  void StartSheet();

  ZipWriter zip_;
  QString path_;
  std::vector<DeviceChannel> channels_;
  QByteArray headerRow_;
  qsizetype rowsPerSheet_;
  int sheets_;
  int sheet_ = 0;            // the sheet being written, from 1
  qsizetype sheetRows_ = 0;  // records on it so far
  QByteArray rows_;          // written rows not handed to the compressor yet
};
