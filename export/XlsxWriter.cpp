#include "export/XlsxWriter.h"

#include <QCoreApplication>
#include <QLocale>
#include <QStringList>
#include <algorithm>

#include "core/ValdError.h"

// The workbook is an Office Open XML package of one sheet, its strings written inline, with three cell
// styles: the default, the bold header and the date and time of the two time columns.
namespace {

constexpr char XmlDeclaration[] = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
                                  "\n";

QByteArray ContentTypes(int sheets) {
  QByteArray types = XmlDeclaration;
  types +=
      R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
      R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
      R"(<Default Extension="xml" ContentType="application/xml"/>)"
      R"(<Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>)";
  for (int sheet = 1; sheet <= sheets; ++sheet) {
    types +=
        R"(<Override PartName="/xl/worksheets/sheet)" + QByteArray::number(sheet) +
        R"(.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>)";
  }
  return types +
         R"(<Override PartName="/xl/styles.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml"/>)"
         R"(</Types>)";
}

constexpr char PackageRelationships[] =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    "\n"
    R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/>)"
    R"(</Relationships>)";

QByteArray Workbook(int sheets) {
  QByteArray workbook = XmlDeclaration;
  workbook +=
      R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)"
      R"(<sheets>)";
  for (int sheet = 1; sheet <= sheets; ++sheet) {
    const QByteArray number = QByteArray::number(sheet);
    workbook +=
        R"(<sheet name="Sheet)" + number + R"(" sheetId=")" + number + R"(" r:id="rId)" + number + R"("/>)";
  }
  return workbook + R"(</sheets></workbook>)";
}

// The sheets are rId1 .. rIdN, the styles the one after.
QByteArray WorkbookRelationships(int sheets) {
  QByteArray relationships = XmlDeclaration;
  relationships += R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)";
  for (int sheet = 1; sheet <= sheets; ++sheet) {
    const QByteArray number = QByteArray::number(sheet);
    relationships +=
        R"(<Relationship Id="rId)" + number +
        R"(" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet)" +
        number + R"(.xml"/>)";
  }
  return relationships + R"(<Relationship Id="rId)" + QByteArray::number(sheets + 1) +
         R"(" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/>)"
         R"(</Relationships>)";
}

// Cell styles: 0 default, 1 bold (the header), 2 date and time (the time columns).
constexpr char Styles[] =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    "\n"
    R"(<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
    R"(<numFmts count="1"><numFmt numFmtId="164" formatCode="yyyy\-mm\-dd\ hh:mm"/></numFmts>)"
    R"(<fonts count="2"><font><sz val="11"/><name val="Calibri"/><family val="2"/></font>)"
    R"(<font><b/><sz val="11"/><name val="Calibri"/><family val="2"/></font></fonts>)"
    R"(<fills count="2"><fill><patternFill patternType="none"/></fill><fill><patternFill patternType="gray125"/></fill></fills>)"
    R"(<borders count="1"><border><left/><right/><top/><bottom/><diagonal/></border></borders>)"
    R"(<cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellStyleXfs>)"
    R"(<cellXfs count="3"><xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/>)"
    R"(<xf numFmtId="0" fontId="1" fillId="0" borderId="0" xfId="0" applyFont="1"/>)"
    R"(<xf numFmtId="164" fontId="0" fillId="0" borderId="0" xfId="0" applyNumberFormat="1"/></cellXfs>)"
    R"(<cellStyles count="1"><cellStyle name="Normal" xfId="0" builtinId="0"/></cellStyles>)"
    R"(</styleSheet>)";

// The time columns are wide enough for "2024-03-01 12:00"; the header row stays in view; the first
// sheet is the one shown.
QByteArray SheetStart(bool first) {
  return XmlDeclaration +
         QByteArray(R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)") +
         (first ? R"(<sheetViews><sheetView tabSelected="1" workbookViewId="0">)"
                : R"(<sheetViews><sheetView workbookViewId="0">)") +
         QByteArray(R"(<pane ySplit="1" topLeftCell="A2" activePane="bottomLeft" state="frozen"/>)"
                    R"(<selection pane="bottomLeft"/></sheetView></sheetViews>)"
                    R"(<sheetFormatPr defaultRowHeight="15"/>)"
                    R"(<cols><col min="1" max="2" width="17.7109375" customWidth="1"/></cols>)"
                    R"(<sheetData>)");
}
constexpr char SheetEnd[] = "</sheetData></worksheet>";

// Days from the spreadsheet epoch (1899-12-30) to 1970-01-01.
constexpr double UnixEpochSerial = 25569;
constexpr double SecondsPerDay = 86400;
// Rows are handed to the compressor in pieces of about this size.
constexpr int RowPieceBytes = 256 * 1024;

// "A", "B", ... "Z", "AA": the letters of a column counted from 0.
QByteArray ColumnLetters(int column) {
  QByteArray letters;
  for (int n = column + 1; n > 0; n = (n - 1) / 26) letters.prepend(char('A' + (n - 1) % 26));
  return letters;
}

QByteArray XmlText(const QString& text) {
  return text.toHtmlEscaped().toUtf8();
}

// A number as the spreadsheet reads it back: the shortest digits that give the same double.
QByteArray NumberText(double value) {
  return QByteArray::number(value, 'g', QLocale::FloatingPointShortest);
}

}  // namespace

int XlsxSheetsFor(qsizetype records, qsizetype rowsPerSheet) {
  return int(std::max<qsizetype>(1, (records + rowsPerSheet - 1) / rowsPerSheet));
}

XlsxWriter::XlsxWriter(QIODevice& device, const QString& path, const ExportTable& heading, qsizetype records,
                       qsizetype rowsPerSheet)
    : zip_(device, path),
      path_(path),
      channels_(heading.channels),
      rowsPerSheet_(rowsPerSheet),
      sheets_(XlsxSheetsFor(records, rowsPerSheet)) {
  QStringList header{QCoreApplication::translate("XlsxExport", "Idő"),
                     QCoreApplication::translate("XlsxExport", "Idő (UTC)")};
  for (const DeviceChannel& channel : channels_) header << channel.Label();
  zip_.StartEntry("[Content_Types].xml");
  zip_.Write(ContentTypes(sheets_));
  zip_.StartEntry("_rels/.rels");
  zip_.Write(PackageRelationships);
  zip_.StartEntry("xl/workbook.xml");
  zip_.Write(Workbook(sheets_));
  zip_.StartEntry("xl/_rels/workbook.xml.rels");
  zip_.Write(WorkbookRelationships(sheets_));
  zip_.StartEntry("xl/styles.xml");
  zip_.Write(Styles);

  headerRow_ = R"(<row r="1">)";
  for (int column = 0; column < int(header.size()); ++column) {
    headerRow_ += R"(<c r=")" + ColumnLetters(column) + R"(1" s="1" t="inlineStr"><is><t>)" +
                  XmlText(header[column]) + "</t></is></c>";
  }
  headerRow_ += "</row>";
  StartSheet();
}

void XlsxWriter::StartSheet() {
  ++sheet_;
  sheetRows_ = 0;
  zip_.StartEntry("xl/worksheets/sheet" + QByteArray::number(sheet_) + ".xml");
  rows_ = SheetStart(sheet_ == 1) + headerRow_;
}

void XlsxWriter::Add(const ExportTable::Row& record) {
  if (sheetRows_ == rowsPerSheet_) {
    if (sheet_ == sheets_)
      throw ValdError(QStringLiteral("Cannot write %1: more records came than were counted").arg(path_));
    zip_.Write(rows_ + SheetEnd);
    StartSheet();
  }
  const QByteArray number = QByteArray::number(++sheetRows_ + 1);
  rows_ += R"(<row r=")" + number + R"(">)";
  int column = 0;
  for (const qint64 seconds : {record.local, record.utc}) {
    rows_ += R"(<c r=")" + ColumnLetters(column++) + number + R"(" s="2"><v>)" +
             NumberText(UnixEpochSerial + double(seconds) / SecondsPerDay) + "</v></c>";
  }
  for (const DeviceChannel& channel : channels_) {
    if (const std::optional<double>& value = record.values[size_t(channel.column - 1)])
      rows_ += R"(<c r=")" + ColumnLetters(column) + number + R"("><v>)" + NumberText(*value) + "</v></c>";
    ++column;
  }
  rows_ += "</row>";
  if (rows_.size() >= RowPieceBytes) {
    zip_.Write(rows_);
    rows_.clear();
  }
}

void XlsxWriter::Finish() {
  zip_.Write(rows_ + SheetEnd);
  rows_.clear();
  // Sheets laid out for records that did not come stay with their header alone.
  while (sheet_ < sheets_) {
    StartSheet();
    zip_.Write(rows_ + SheetEnd);
    rows_.clear();
  }
  zip_.Finish();
}
