#include <xlsxwriter.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/ValdError.h"
#include "export/ExportFormats.h"

namespace {

constexpr double DateColumnWidth = 17;

lxw_datetime CellTime(qint64 seconds) {
  const QDateTime time = QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC);
  const QDate date = time.date();
  const QTime clock = time.time();
  return {date.year(),           uint8_t(date.month()),   uint8_t(date.day()),
          uint8_t(clock.hour()), uint8_t(clock.minute()), double(clock.second())};
}

[[noreturn]] void Fail(const QString& path, const QString& reason) {
  throw ValdError(QStringLiteral("Cannot write %1: %2").arg(path, reason));
}

}  // namespace

void WriteXlsxExport(const ExportTable& table, const QString& path, bool hungarianLabels) {
  QStringList header{hungarianLabels ? QStringLiteral("Idő") : QStringLiteral("Time"),
                     hungarianLabels ? QStringLiteral("Idő (UTC)") : QStringLiteral("Time (UTC)")};
  for (const ArchiveChannel& channel : table.channels) header << channel.Label(hungarianLabels);
  // The workbook is written beside its place under a name of its own, then takes the place whole.
  const QFileInfo target(path);
  QTemporaryFile temporary(
      target.absoluteDir().filePath(QStringLiteral(".%1.XXXXXX").arg(target.fileName())));
  if (!temporary.open()) Fail(path, temporary.errorString());
  temporary.close();
  const QByteArray temporaryName = QFile::encodeName(temporary.fileName());

  lxw_workbook_options options{};
  options.constant_memory = LXW_TRUE;  // rows go out one after another: an export of a year stays small
  lxw_workbook* workbook = workbook_new_opt(temporaryName.constData(), &options);
  if (!workbook) Fail(path, QStringLiteral("the workbook could not be made"));
  lxw_worksheet* sheet = workbook_add_worksheet(workbook, nullptr);
  lxw_format* bold = workbook_add_format(workbook);
  format_set_bold(bold);
  lxw_format* date = workbook_add_format(workbook);
  format_set_num_format(date, "yyyy-mm-dd hh:mm");
  worksheet_set_column(sheet, 0, 1, DateColumnWidth, nullptr);
  worksheet_freeze_panes(sheet, 1, 0);

  lxw_col_t column = 0;
  for (const QString& label : header)
    worksheet_write_string(sheet, 0, column++, label.toUtf8().constData(), bold);
  lxw_row_t row = 1;
  for (const ExportTable::Row& record : table.rows) {
    lxw_datetime local = CellTime(record.local);
    lxw_datetime utc = CellTime(record.utc);
    worksheet_write_datetime(sheet, row, 0, &local, date);
    worksheet_write_datetime(sheet, row, 1, &utc, date);
    column = 2;
    for (const ArchiveChannel& channel : table.channels) {
      if (const std::optional<double>& value = record.values[size_t(channel.column - 1)])
        worksheet_write_number(sheet, row, column, *value, nullptr);
      ++column;
    }
    ++row;
  }
  const lxw_error closed = workbook_close(workbook);
  if (closed != LXW_NO_ERROR) Fail(path, QString::fromLatin1(lxw_strerror(closed)));
  if (std::rename(temporaryName.constData(), QFile::encodeName(path).constData()) != 0)
    Fail(path, QString::fromLocal8Bit(std::strerror(errno)));
  temporary.setAutoRemove(false);
}
