#include "report/MeasurementReport.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <functional>

#include "archive/SiteTime.h"
#include "core/TextLines.h"
#include "core/ValdError.h"
#include "export/RecordsDigest.h"
#include "export/StatisticsTable.h"
#include "report/PeriodSummary.h"
#include "report/ReportChart.h"
#include "report/ReportSeal.h"
#include "report/ReportWording.h"
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
constexpr int MeanDecimals = 3;

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

  void Paint(QPdfWriter& writer, QPainter& painter, const QString& footer, const QString& pageText) const {
    for (size_t page = 0; page < pages_.size(); ++page) {
      if (page > 0) writer.newPage();
      for (const auto& [top, draw] : pages_[page]) draw(painter, top);
      painter.setFont(Font(TableFontSize));
      painter.setPen(Qt::black);
      painter.drawText(QRectF(Margin, page_.height() - Margin, page_.width() - 2 * Margin, FooterHeight),
                       Qt::AlignCenter,
                       QStringLiteral("%1 – %2").arg(footer, pageText.arg(page + 1).arg(pages_.size())));
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

template <size_t N>
QStringList Texts(const char* const (&utf8)[N]) {
  QStringList texts;
  for (const char* text : utf8) texts << Text(text);
  return texts;
}

// "+01:00", "-03:30", "+00:00".
QString OffsetText(int seconds) {
  const int minutes = std::abs(seconds) / 60;
  return QStringLiteral("%1%2:%3")
      .arg(seconds < 0 ? QLatin1Char('-') : QLatin1Char('+'))
      .arg(minutes / 60, 2, 10, QLatin1Char('0'))
      .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

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

// "2024-03-02T17:50+01:00": a time stamp of the device's clock with the offset of the site's zone then,
// as the archive places it (a time the clock skips takes the offset before the change).
QString ZonedTimeText(const RecordTime& time, const QTimeZone& zone) {
  const qint64 local = LocalSeconds(time.year, time.month, time.day, time.hour, time.minute);
  const qint64 utc = SiteTimesInRingOrder(std::span(&local, 1), zone).front().utc;
  return RecordTimeText(time).replace(QLatin1Char(' '), QLatin1Char('T')) + OffsetText(int(local - utc));
}

QString MadeText(const QDateTime& made) {
  return made.toString(QStringLiteral("yyyy-MM-ddThh:mm")) + OffsetText(made.offsetFromUtc());
}

QString ZoneName(const QTimeZone& zone) {
  return QString::fromUtf8(zone.id());
}

QString LimitValue(const std::optional<double>& value, const Quantity& quantity) {
  return value ? QuantityValueText(*value, quantity) : QStringLiteral("–");
}

void AddHeader(PageLayout& layout, const ReportSubject& subject, const RecordsDigest& digest,
               const ReportWording& wording) {
  const auto orUnknown = [](const QString& text) { return text.isEmpty() ? QStringLiteral("–") : text; };
  const auto timeText = [&](const std::optional<RecordTime>& time) {
    return time ? ZonedTimeText(*time, subject.zone) : QStringLiteral("–");
  };
  layout.Add(HeadingHeight + 6, TextLine(Text(wording.title), TextFontSize + 7, true));
  layout.Add(RowHeight + 3, TextLine(Text(wording.device)
                                         .arg(QString::fromLatin1(subject.type->name), orUnknown(subject.mac),
                                              orUnknown(subject.address)),
                                     TextFontSize));
  layout.Add(
      RowHeight + 3,
      TextLine(Text(wording.period).arg(timeText(digest.first), timeText(digest.last)).arg(digest.records),
               TextFontSize));
  layout.Add(RowHeight + 3, TextLine(Text(wording.timeZone).arg(ZoneName(subject.zone)), TextFontSize));
  layout.Add(RowHeight + 12, TextLine(Text(wording.made).arg(MadeText(subject.made)), TextFontSize));
}

void AddLimits(PageLayout& layout, const ReportSubject& subject, const ReportWording& wording) {
  const DeviceType& type = *subject.type;
  QList<QStringList> rows;
  for (int column = 0; column < type.ValueColumns() && size_t(column) < subject.limits.size(); ++column) {
    const ChannelLimit& limit = subject.limits[size_t(column)];
    if (!limit.IsSet()) continue;
    const Quantity& quantity = QuantityOf(type.columns[size_t(column)]);
    rows << QStringList{
        QString::number(column + 1),
        QuantityCaption(quantity, wording),
        LimitValue(limit.low, quantity),
        LimitValue(limit.high, quantity),
        QStringLiteral("%1 %2").arg(QString::number(limit.delayMinutes, 'g', 6), Text(wording.minutesUnit)),
        QuantityValueText(limit.hysteresis, quantity)};
  }
  if (rows.isEmpty()) {
    layout.Add(HeadingHeight, TextLine(Text(wording.limitsHeading), TextFontSize + 3, true), RowHeight);
    layout.Add(RowHeight + 6, TextLine(Text(wording.noLimits), TextFontSize));
    return;
  }
  AddTable(layout, Text(wording.limitsHeading), Texts(wording.limitsHeader), rows, {8, 20, 14, 14, 12, 12});
}

void AddChannels(PageLayout& layout, const ReportSubject& subject, const PeriodSummary& summary,
                 const ReportWording& wording) {
  QList<QStringList> rows;
  for (const ChannelSummary& channel : summary.channels) {
    const Quantity& quantity = QuantityOf(subject.type->columns[size_t(channel.column)]);
    const ChannelLimit limit = size_t(channel.column) < subject.limits.size()
                                   ? subject.limits[size_t(channel.column)]
                                   : ChannelLimit{};
    rows << QStringList{
        QString::number(channel.column + 1),
        QuantityCaption(quantity, wording),
        QString::fromUtf8(quantity.unit),
        QString::number(channel.count),
        QString::number(channel.minimum, 'g', 12),
        QString::number(channel.maximum, 'g', 12),
        QString::number(channel.mean, 'f', MeanDecimals),
        channel.meanKinetic ? QString::number(*channel.meanKinetic, 'f', MeanDecimals) : QString(),
        limit.high ? DurationText(channel.minutesAbove, wording) : QStringLiteral("–"),
        limit.low ? DurationText(channel.minutesBelow, wording) : QStringLiteral("–")};
  }
  AddTable(layout, Text(wording.channelHeading), Texts(wording.channelHeader), rows,
           {7, 15, 6, 6, 8, 8, 8, 8, 12, 12});
  layout.Add(RowHeight + 8, TextLine(Text(wording.meanKineticNote), TableFontSize));
}

void AddExcursions(PageLayout& layout, const ReportSubject& subject, const PeriodSummary& summary,
                   const ReportWording& wording) {
  if (summary.excursions.empty()) {
    layout.Add(HeadingHeight, TextLine(Text(wording.excursionsHeading), TextFontSize + 3, true), RowHeight);
    layout.Add(RowHeight, TextLine(Text(wording.noExcursions), TextFontSize));
    return;
  }
  const Excursion& longest = *summary.Longest();
  const QString summaryLine =
      Text(wording.excursionSummary)
          .arg(QString::number(summary.excursions.size()), DurationText(summary.TotalMinutes(), wording),
               QStringLiteral("%1 (%2)").arg(DurationText(longest.minutes, wording),
                                             Text(wording.legendChannel).arg(longest.alarm.column + 1)),
               ZonedTimeText(summary.excursions.front().alarm.start, subject.zone));
  QList<QStringList> rows;
  int number = 0;
  for (const Excursion& excursion : summary.excursions) {
    const Alarm& alarm = excursion.alarm;
    const Quantity& quantity = QuantityOf(subject.type->columns[size_t(alarm.column)]);
    rows << QStringList{
        QString::number(++number),
        QString::number(alarm.column + 1),
        QuantityCaption(quantity, wording),
        QStringLiteral("%1 %2").arg(Text(alarm.side == LimitSide::Low ? wording.low : wording.high),
                                    QuantityValueText(alarm.limit, quantity)),
        ZonedTimeText(alarm.start, subject.zone),
        ZonedTimeText(alarm.end, subject.zone),
        DurationText(excursion.minutes, wording),
        QString::number(alarm.records),
        QuantityValueText(alarm.extreme, quantity)};
  }
  AddTable(layout, Text(wording.excursionsHeading), Texts(wording.excursionHeader), rows,
           {4, 8, 11, 11, 19, 19, 10, 7, 11});
  layout.Add(RowHeight + 6, TextLine(summaryLine, TextFontSize));
}

QString Verdict(const PeriodSummary& summary, const ReportWording& wording) {
  if (!summary.anyLimit) return Text(wording.verdictNoLimits);
  if (summary.excursions.empty()) return Text(wording.verdictWithin);
  return Text(wording.verdictExcursions).arg(summary.excursions.size());
}

// Three labelled lines to sign on, side by side.
void AddSignatures(PageLayout& layout, const ReportWording& wording) {
  constexpr double SignatureHeight = 46;
  layout.Add(HeadingHeight, TextLine(Text(wording.signatureHeading), TextFontSize + 3, true),
             SignatureHeight);
  const double width = layout.Width();
  const QStringList labels = Texts(wording.signatures);
  layout.Add(SignatureHeight, [=](QPainter& painter, double top) {
    painter.setFont(PageLayout::Font(TextFontSize));
    painter.setPen(Qt::black);
    const double column = width / double(labels.size());
    for (qsizetype i = 0; i < labels.size(); ++i) {
      const double left = Margin + double(i) * column;
      painter.drawText(QPointF(left, top + TextFontSize * 1.2), labels[i] + QLatin1Char(':'));
      painter.drawLine(QPointF(left, top + 36), QPointF(left + column - 20, top + 36));
    }
  });
}

}  // namespace

void WriteMeasurementReport(const QString& path, const ReportSubject& subject) {
  const DeviceType& type = *subject.type;
  const RecordLog& log = *subject.log;
  const ReportWording& wording = ReportWordingOf(subject.language);
  const RecordsDigest digest = DigestOfRecords(log);
  const PeriodSummary summary = SummarisePeriod(log, type, subject.limits);

  QByteArray pdf;
  QBuffer buffer(&pdf);
  buffer.open(QIODevice::WriteOnly);
  QPdfWriter writer(&buffer);
  writer.setPageSize(QPageSize(QPageSize::A4));
  writer.setPageMargins(QMarginsF(0, 0, 0, 0));
  writer.setResolution(PointsPerInch);
  writer.setCreator(QStringLiteral("VALD CSV"));
  const QString device = subject.mac.isEmpty() ? subject.address : subject.mac;
  const QString title =
      QStringLiteral("%1: %2 %3").arg(Text(wording.title), QString::fromLatin1(type.name), device);
  writer.setTitle(title);
  const auto minuteText = [](const std::optional<RecordTime>& time) {
    return time ? RecordTimeText(*time) : QString();
  };
  writer.setDocumentXmpMetadata(
      ReportXmpMetadata(title, {subject.archiveKey, minuteText(digest.first), minuteText(digest.last),
                                digest.records, digest.sha256}));
  PageLayout layout(QPageSize(QPageSize::A4).size(QPageSize::Point));

  AddHeader(layout, subject, digest, wording);
  layout.Add(HeadingHeight, TextLine(Verdict(summary, wording), TextFontSize + 3, true));
  AddLimits(layout, subject, wording);
  for (const char letter : ChartedQuantities(log, type)) {
    layout.Add(ChartHeight + 22, [&log, &type, letter, &wording, limits = subject.limits,
                                  width = layout.Width()](QPainter& painter, double top) {
      DrawQuantityChart(painter, QRectF(Margin, top + 8, width, ChartHeight), log, type, letter, limits,
                        wording);
    });
  }
  AddChannels(layout, subject, summary, wording);
  AddExcursions(layout, subject, summary, wording);

  const StatisticsTable table = DailyStatisticsTable(DailyStatistics(log, type), type, wording.tables);
  AddTable(layout, Text(wording.dailyHeading), table.header, table.rows, {10, 7, 16, 7, 7, 9, 9, 9, 9});

  layout.Add(HeadingHeight, TextLine(Verdict(summary, wording), TextFontSize + 3, true), 2 * RowHeight + 60);
  layout.Add(RowHeight + 2,
             TextLine(Text(wording.fingerprint).arg(QString::fromLatin1(digest.sha256)).arg(digest.records),
                      TableFontSize));
  layout.Add(RowHeight + 10, TextLine(Text(wording.fingerprintCheck), TableFontSize));
  AddSignatures(layout, wording);

  QPainter painter;
  if (!painter.begin(&writer)) throw ValdError(QStringLiteral("Cannot write the report \"%1\"").arg(path));
  layout.Paint(writer, painter, QStringLiteral("%1 %2").arg(QString::fromLatin1(type.name), device).trimmed(),
               Text(wording.page));
  painter.end();
  buffer.close();
  WriteWholeFile(path, pdf);
}
