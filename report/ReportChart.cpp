#include "report/ReportChart.h"

#include <QDateTime>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <optional>
#include <tuple>

#include "views/Colours.h"
#include "watch/AlarmRuns.h"
#include "watch/LogAlarms.h"

namespace {

constexpr double TitleHeight = 16;
constexpr double LeftAxisWidth = 42;
constexpr double BottomAxisHeight = 16;
constexpr double RightMargin = 8;
constexpr double LabelFontSize = 7;
constexpr int WantedValueTicks = 6;

const QColor LowLimitColour(0x1F, 0x4E, 0xB4);
const QColor HighLimitColour(0xC0, 0x1C, 0x1C);

std::optional<qint64> MinuteOf(const RecordTime& time) {
  const QDate date(time.year, time.month, time.day);
  const QTime clock(time.hour, time.minute);
  if (!date.isValid() || !clock.isValid()) return std::nullopt;
  return QDateTime(date, clock, Qt::UTC).toSecsSinceEpoch() / 60;
}

// A step of 1, 2 or 5 times a power of ten that cuts the range into about `wanted` parts.
double TickStep(double range, int wanted) {
  const double raw = range / wanted;
  const double power = std::pow(10, std::floor(std::log10(raw)));
  for (const double factor : {1.0, 2.0, 5.0}) {
    if (raw <= factor * power) return factor * power;
  }
  return 10 * power;
}

QColor ChannelColour(int index) {
  const Rgb rgb = ChannelPalette[size_t(index) % ChannelPalette.size()];
  return QColor::fromRgb(rgb);
}

struct TickStepChoice {
  qint64 minutes;
  bool days;  // labelled with the day ("MM-dd"), else with the time of day ("hh:mm")
};

// Steps from ten minutes to a month, each one a whole number of the one before or of a day.
constexpr TickStepChoice TimeSteps[] = {
    {10, false},         {15, false},          {30, false},          {60, false},     {2 * 60, false},
    {3 * 60, false},     {6 * 60, false},      {12 * 60, false},     {24 * 60, true}, {2 * 24 * 60, true},
    {7 * 24 * 60, true}, {14 * 24 * 60, true}, {28 * 24 * 60, true},
};

}  // namespace

std::vector<TimeTick> TimeAxisTicks(qint64 firstMinute, qint64 lastMinute, int labelRoom) {
  constexpr qint64 MinutesPerDay = 24 * 60;
  const auto ticksOf = [&](const TickStepChoice& step) {
    std::vector<TimeTick> ticks;
    const qint64 first = (firstMinute + step.minutes - 1) / step.minutes * step.minutes;
    for (qint64 minute = first; minute <= lastMinute; minute += step.minutes) {
      // Within a day the hours are labelled, and each midnight with its day.
      const bool dayLabel = step.days || minute % MinutesPerDay == 0;
      ticks.push_back({minute, QDateTime::fromSecsSinceEpoch(minute * 60, Qt::UTC)
                                   .toString(dayLabel ? QStringLiteral("MM-dd") : QStringLiteral("hh:mm"))});
    }
    return ticks;
  };
  for (const TickStepChoice& step : TimeSteps) {
    std::vector<TimeTick> ticks = ticksOf(step);
    if (int(ticks.size()) <= std::max(labelRoom, 1)) return ticks;
  }
  return ticksOf(TimeSteps[std::size(TimeSteps) - 1]);
}

std::vector<char> ChartedQuantities(const RecordLog& log, const DeviceType& type) {
  std::vector<char> letters;
  for (int column = 0; column < type.ValueColumns(); ++column) {
    const char letter = type.columns[size_t(column)];
    if (std::find(letters.begin(), letters.end(), letter) != letters.end()) continue;
    const Quantity& quantity = QuantityOf(letter);
    const bool hasNumber = std::any_of(log.records.begin(), log.records.end(), [&](const LogRecord& record) {
      return column < int(record.valueCount) && ValueInUnit(log.Values(record)[size_t(column)], quantity);
    });
    if (hasNumber) letters.push_back(letter);
  }
  return letters;
}

void DrawQuantityChart(QPainter& painter, const QRectF& area, const RecordLog& log, const DeviceType& type,
                       char letter, std::span<const ChannelLimit> limits, const ReportWording& wording) {
  const Quantity& quantity = QuantityOf(letter);
  std::vector<int> columns;
  for (int column = 0; column < type.ValueColumns(); ++column) {
    if (type.columns[size_t(column)] == letter) columns.push_back(column);
  }

  // The extent of the times, the values and the limits.
  std::optional<qint64> firstMinute, lastMinute;
  double low = INFINITY, high = -INFINITY;
  for (const LogRecord& record : log.records) {
    const std::optional<qint64> minute = MinuteOf(record.time);
    if (!minute) continue;
    firstMinute = firstMinute ? std::min(*firstMinute, *minute) : *minute;
    lastMinute = lastMinute ? std::max(*lastMinute, *minute) : *minute;
    for (const int column : columns) {
      if (column >= int(record.valueCount)) continue;
      if (const std::optional<double> value = ValueInUnit(log.Values(record)[size_t(column)], quantity)) {
        low = std::min(low, *value);
        high = std::max(high, *value);
      }
    }
  }
  for (const int column : columns) {
    if (size_t(column) >= limits.size()) continue;
    for (const std::optional<double>& limit : {limits[size_t(column)].low, limits[size_t(column)].high}) {
      if (!limit) continue;
      low = std::min(low, *limit);
      high = std::max(high, *limit);
    }
  }
  if (!firstMinute || low > high) return;
  if (high - low < 1e-9) {
    low -= 1;
    high += 1;
  }
  const double step = TickStep(high - low, WantedValueTicks);
  low = std::floor(low / step) * step;
  high = std::ceil(high / step) * step;
  const double minutes = std::max<double>(double(*lastMinute - *firstMinute), 1);

  painter.save();
  QFont font = painter.font();
  font.setPointSizeF(LabelFontSize + 2);
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(Qt::black);
  const QString unit = QString::fromUtf8(quantity.unit);
  const QString title =
      QuantityCaption(quantity, wording) + (unit.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(unit));
  painter.drawText(QRectF(area.left(), area.top(), area.width(), TitleHeight),
                   Qt::AlignLeft | Qt::AlignVCenter, title);
  font.setBold(false);
  font.setPointSizeF(LabelFontSize);
  painter.setFont(font);

  // The legend follows the title on its line.
  double legendX = area.left() + QFontMetricsF(painter.font()).horizontalAdvance(title) * 1.5 + 12;
  for (size_t i = 0; i < columns.size(); ++i) {
    painter.setPen(QPen(ChannelColour(int(i)), 1.5));
    const double y = area.top() + TitleHeight / 2;
    painter.drawLine(QPointF(legendX, y), QPointF(legendX + 12, y));
    painter.setPen(Qt::black);
    const QString label = Text(wording.legendChannel).arg(columns[i] + 1);
    painter.drawText(QPointF(legendX + 15, y + 3), label);
    legendX += 22 + QFontMetricsF(painter.font()).horizontalAdvance(label);
  }

  const QRectF plot(area.left() + LeftAxisWidth, area.top() + TitleHeight + 4,
                    area.width() - LeftAxisWidth - RightMargin,
                    area.height() - TitleHeight - 4 - BottomAxisHeight);
  const auto xOf = [&](qint64 minute) {
    return plot.left() + double(minute - *firstMinute) / minutes * plot.width();
  };
  const auto yOf = [&](double value) { return plot.bottom() - (value - low) / (high - low) * plot.height(); };

  // Value axis: a grid line and a label per tick.
  for (double tick = low; tick <= high + step / 2; tick += step) {
    const double y = yOf(tick);
    painter.setPen(QPen(QColor(0xDD, 0xDD, 0xDD), 0.5));
    painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
    painter.setPen(Qt::black);
    painter.drawText(QRectF(area.left(), y - 6, LeftAxisWidth - 4, 12), Qt::AlignRight | Qt::AlignVCenter,
                     QString::number(std::abs(tick) < step / 1e6 ? 0 : tick, 'g', 6));
  }
  // Time axis: a grid line and a label at each tick of a step that fits the period.
  const QFontMetricsF metrics(painter.font());
  const int labelRoom = int(plot.width() / (metrics.horizontalAdvance(QStringLiteral("00-00")) + 12));
  // Over years even the longest step gives more ticks than there is room for: a label that would run
  // into the one before is left out.
  double lastLabelRight = -INFINITY;
  for (const TimeTick& tick : TimeAxisTicks(*firstMinute, *lastMinute, labelRoom)) {
    const double x = xOf(tick.minute);
    painter.setPen(QPen(QColor(0xDD, 0xDD, 0xDD), 0.5));
    painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    const double width = metrics.horizontalAdvance(tick.label);
    const double left = std::clamp(x - width / 2, plot.left(), plot.right() - width);
    if (left < lastLabelRight + 4) continue;
    painter.setPen(Qt::black);
    painter.drawText(QPointF(left, plot.bottom() + 10), tick.label);
    lastLabelRight = left + width;
  }

  // Limits, then the channels over them.
  for (size_t i = 0; i < columns.size(); ++i) {
    if (size_t(columns[i]) >= limits.size()) continue;
    const ChannelLimit& limit = limits[size_t(columns[i])];
    for (const auto& [value, colour, side] : {std::tuple(limit.low, LowLimitColour, wording.low),
                                              std::tuple(limit.high, HighLimitColour, wording.high)}) {
      if (!value) continue;
      painter.setPen(QPen(colour, 0.8, Qt::DashLine));
      painter.drawLine(QPointF(plot.left(), yOf(*value)), QPointF(plot.right(), yOf(*value)));
      const QString label = QStringLiteral("%1 %2").arg(Text(side), QuantityValueText(*value, quantity));
      painter.drawText(QPointF(plot.right() - metrics.horizontalAdvance(label) - 2, yOf(*value) - 2), label);
    }
  }
  painter.setClipRect(plot.adjusted(-1, -1, 1, 1));
  for (size_t i = 0; i < columns.size(); ++i) {
    const int column = columns[i];
    QPainterPath path;
    bool drawing = false;
    for (const LogRecord& record : log.records) {
      const std::optional<qint64> minute = MinuteOf(record.time);
      const std::optional<double> value = minute && column < int(record.valueCount)
                                              ? ValueInUnit(log.Values(record)[size_t(column)], quantity)
                                              : std::nullopt;
      if (!value) {
        drawing = false;
        continue;
      }
      const QPointF point(xOf(*minute), yOf(*value));
      if (drawing) {
        path.lineTo(point);
      } else {
        path.moveTo(point);
        drawing = true;
      }
    }
    painter.setPen(QPen(ChannelColour(int(i)), 0.7));
    painter.drawPath(path);
  }
  painter.setClipping(false);
  painter.setPen(QPen(Qt::black, 0.7));
  painter.drawRect(plot);
  painter.restore();
}
