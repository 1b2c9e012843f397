#include "export/ExportWriter.h"

#include "core/ValdError.h"

namespace {

// Rows formatted and written at once.
constexpr size_t PieceRows = 8192;

}  // namespace

ExportWriter::ExportWriter(ExportFormat format, const ExportTable& heading, QIODevice& device,
                           const QString& name, qsizetype records, bool byteOrderMark)
    : format_(format),
      csvStyle_(CsvStyleOf(format, byteOrderMark)),
      piece_{heading.device, heading.type, heading.channels, {}},
      device_(device),
      name_(name) {
  switch (format) {
    case ExportFormat::Csv:
    case ExportFormat::CsvExcel:
      Put(CsvHeader(piece_, csvStyle_));
      break;
    case ExportFormat::Xlsx:
      workbook_ = std::make_unique<XlsxWriter>(device, name, heading, records);
      break;
    case ExportFormat::Json:
    case ExportFormat::Influx:
      break;
    case ExportFormat::File:
      throw ValdError(
          QStringLiteral("A measurement file is written from the lines, not from an export table"));
  }
  piece_.rows.reserve(PieceRows);
}

ExportWriter::~ExportWriter() = default;

void ExportWriter::Add(const ExportTable::Row& row) {
  if (workbook_) {
    workbook_->Add(row);
    return;
  }
  piece_.rows.push_back(row);
  if (piece_.rows.size() == PieceRows) WritePiece();
}

void ExportWriter::Finish() {
  if (workbook_) {
    workbook_->Finish();
    return;
  }
  WritePiece();
}

void ExportWriter::WritePiece() {
  Put(format_ == ExportFormat::Json     ? JsonLinesExport(piece_)
      : format_ == ExportFormat::Influx ? InfluxExport(piece_, influxTimes_)
                                        : CsvRows(piece_, csvStyle_));
  piece_.rows.clear();
}

void ExportWriter::Put(const QByteArray& bytes) {
  if (device_.write(bytes) != bytes.size())
    throw ValdError(QStringLiteral("Cannot write %1: %2").arg(name_, device_.errorString()));
}
