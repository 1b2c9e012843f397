#include "report/MeasurementReport.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <functional>

#include "core/TextLines.h"
#include "core/ValdError.h"
#include "export/StatisticsTable.h"
#include "report/ReportChart.h"
#include "watch/AlarmRuns.h"
#include "watch/DailyStatistics.h"
#include "watch/LogAlarms.h"

namespace {

// Points (1/72 inch): the writer draws at 72 dots per inch.
constexpr int PointsPerInch = 72;
constexpr double Margin = 40;
constexpr double FooterHeight = 20;
constexpr double ChartHeight = 190;
constexpr double RowHeight = 12;
constexpr double HeadingHeight = 24;
constexpr double TextFontSize = 9;
constexpr double TableFontSize = 7.5;
const QString FontFamily = QStringLiteral("Liberation Sans");

using Draw = std::function<void(QPainter& painter, double top)>;

// Blocks laid out top to bottom, a block that does not fit going to a new page; the pages are drawn
// once all are known, so that each can say how many there are.
class PageLayout {
 public:
  explicit PageLayout(QSizeF page) : page_(page), top_(Margin) { pages_.emplace_back(); }

  double Width() const { return page_.width() - 2 * Margin; }
  // `keepWith`: room wanted below the block for what must follow it on the same page.
  void Add(double height, Draw draw, double keepWith = 0) {
    if (top_ + height + keepWith > page_.height() - Margin - FooterHeight && !pages_.back().empty()) {
      pages_.emplace_back();
      top_ = Margin;
    }
    pages_.back().push_back({top_, std::move(draw)});
    top_ += height;
  }
  bool Fits(double height) const { return top_ + height <= page_.height() - Margin - FooterHeight; }

  void Paint(QPdfWriter& writer, QPainter& painter, const QString& footer) const {
    for (size_t page = 0; page < pages_.size(); ++page) {
      if (page > 0) writer.newPage();
      for (const auto& [top, draw] : pages_[page]) draw(painter, top);
      painter.setFont(Font(TableFontSize));
      painter.setPen(Qt::black);
      painter.drawText(QRectF(Margin, page_.height() - Margin, page_.width() - 2 * Margin, FooterHeight),
                       Qt::AlignCenter,
                       QStringLiteral("%1 – %2. oldal / %3").arg(footer).arg(page + 1).arg(pages_.size()));
    }
  }

  static QFont Font(double size, bool bold = false) {
    QFont font(FontFamily);
    font.setPointSizeF(size);
    font.setBold(bold);
    return font;
  }

 private:
  QSizeF page_;
  double top_;
  std::vector<std::vector<std::pair<double, Draw>>> pages_;
};

Draw TextLine(const QString& text, double size, bool bold = false) {
  return [=](QPainter& painter, double top) {
    painter.setFont(PageLayout::Font(size, bold));
    painter.setPen(Qt::black);
    painter.drawText(QPointF(Margin, top + size * 1.2), text);
  };
}

// A table whose columns share the width in the given proportions; the header row starts every page the
// table runs on to.
void AddTable(PageLayout& layout, const QString& heading, const QStringList& header,
              const QList<QStringList>& rows, const std::vector<double>& shares) {
  double total = 0;
  for (const double share : shares) total += share;
  std::vector<double> widths;
  for (const double share : shares) widths.push_back(layout.Width() * share / total);
  const double width = layout.Width();
  const auto row = [widths, width](const QStringList& cells, bool bold) {
    return [=](QPainter& painter, double top) {
      painter.setFont(PageLayout::Font(TableFontSize, bold));
      painter.setPen(Qt::black);
      double x = Margin;
      for (qsizetype i = 0; i < cells.size() && size_t(i) < widths.size(); ++i) {
        painter.drawText(QRectF(x + 2, top, widths[size_t(i)] - 4, RowHeight),
                         Qt::AlignLeft | Qt::AlignVCenter, cells[i]);
        x += widths[size_t(i)];
      }
      painter.setPen(QPen(QColor(0xBB, 0xBB, 0xBB), 0.5));
      painter.drawLine(QPointF(Margin, top + RowHeight), QPointF(Margin + width, top + RowHeight));
    };
  };
  layout.Add(HeadingHeight, TextLine(heading, TextFontSize + 3, true), 2 * RowHeight);
  layout.Add(RowHeight, row(header, true), RowHeight);
  for (const QStringList& cells : rows) {
    if (!layout.Fits(RowHeight)) layout.Add(RowHeight, row(header, true), RowHeight);
    layout.Add(RowHeight, row(cells, false));
  }
}

QStringList AlarmCells(const Alarm& alarm, const DeviceType& type) {
  const Quantity& quantity = QuantityOf(type.columns[size_t(alarm.column)]);
  return {QString::number(alarm.column + 1),
          QString::fromUtf8(quantity.labelHu),
          (alarm.side == LimitSide::Low ? QStringLiteral("alsó ") : QStringLiteral("felső ")) +
              QuantityValueText(alarm.limit, quantity),
          RecordTimeText(alarm.start),
          RecordTimeText(alarm.end),
          QString::number(alarm.records),
          QuantityValueText(alarm.extreme, quantity)};
}

}  // namespace

void WriteMeasurementReport(const QString& path, const ReportSubject& subject) {
  const DeviceType& type = *subject.type;
  const RecordLog& log = *subject.log;
  const std::vector<DayStatistics> statistics = DailyStatistics(log, type);
  const std::vector<Alarm> alarms = FindAlarms(log, type, subject.limits);

  QByteArray pdf;
  QBuffer buffer(&pdf);
  buffer.open(QIODevice::WriteOnly);
  QPdfWriter writer(&buffer);
  writer.setPageSize(QPageSize(QPageSize::A4));
  writer.setPageMargins(QMarginsF(0, 0, 0, 0));
  writer.setResolution(PointsPerInch);
  writer.setCreator(QStringLiteral("VALD CSV"));
  const QString device = subject.mac.isEmpty() ? subject.address : subject.mac;
  writer.setTitle(QStringLiteral("Mérési jelentés: %1 %2").arg(QString::fromLatin1(type.name), device));
  PageLayout layout(QPageSize(QPageSize::A4).size(QPageSize::Point));

  // The period runs from the first to the last record with a valid time stamp.
  std::optional<RecordTime> first, last;
  for (const LogRecord& record : log.records) {
    if (!QDate(record.time.year, record.time.month, record.time.day).isValid()) continue;
    if (!first || record.time < *first) first = record.time;
    if (!last || record.time > *last) last = record.time;
  }
  const auto orUnknown = [](const QString& text) { return text.isEmpty() ? QStringLiteral("–") : text; };
  layout.Add(HeadingHeight + 6, TextLine(QStringLiteral("Mérési jelentés"), TextFontSize + 7, true));
  layout.Add(RowHeight + 3, TextLine(QStringLiteral("Eszköz: %1   MAC-cím: %2   Cím: %3")
                                         .arg(QString::fromLatin1(type.name), orUnknown(subject.mac),
                                              orUnknown(subject.address)),
                                     TextFontSize));
  layout.Add(RowHeight + 3, TextLine(QStringLiteral("Időszak: %1 – %2, %3 rekord")
                                         .arg(first ? RecordTimeText(*first) : QStringLiteral("–"),
                                              last ? RecordTimeText(*last) : QStringLiteral("–"))
                                         .arg(log.Count()),
                                     TextFontSize));
  layout.Add(
      RowHeight + 12,
      TextLine(QStringLiteral("Készült: %1").arg(subject.made.toString(QStringLiteral("yyyy-MM-dd hh:mm"))),
               TextFontSize));

  for (const char letter : ChartedQuantities(log, type)) {
    layout.Add(ChartHeight + 14, [&log, &type, letter, limits = subject.limits, width = layout.Width()](
                                     QPainter& painter, double top) {
      DrawQuantityChart(painter, QRectF(Margin, top, width, ChartHeight), log, type, letter, limits);
    });
  }

  const StatisticsTable table = DailyStatisticsTable(statistics, type, TableWording::Hungarian);
  AddTable(layout, QStringLiteral("Napi statisztika"), table.header, table.rows,
           {10, 7, 16, 7, 7, 9, 9, 9, 9});

  QList<QStringList> alarmRows;
  for (const Alarm& alarm : alarms) alarmRows << AlarmCells(alarm, type);
  if (alarmRows.isEmpty()) {
    layout.Add(HeadingHeight, TextLine(QStringLiteral("Riasztások"), TextFontSize + 3, true), RowHeight);
    layout.Add(RowHeight, TextLine(QStringLiteral("Nem volt riasztás az időszakban."), TextFontSize));
  } else {
    AddTable(layout, QStringLiteral("Riasztások"),
             {QStringLiteral("Csatorna"), QStringLiteral("Mennyiség"), QStringLiteral("Határ"),
              QStringLiteral("Kezdete"), QStringLiteral("Vége"), QStringLiteral("Rekord"),
              QStringLiteral("Szélsőérték")},
             alarmRows, {7, 15, 13, 15, 15, 7, 12});
  }

  QPainter painter;
  if (!painter.begin(&writer)) throw ValdError(QStringLiteral("Cannot write the report \"%1\"").arg(path));
  layout.Paint(writer, painter,
               QStringLiteral("%1 %2").arg(QString::fromLatin1(type.name), device).trimmed());
  painter.end();
  buffer.close();
  WriteWholeFile(path, pdf);
}
