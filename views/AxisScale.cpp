#include "views/AxisScale.h"

#include <QCoreApplication>
#include <QStringList>
#include <algorithm>
#include <cmath>

#include "core/IntegerText.h"
#include "core/ValdError.h"
#include "core/Win1250.h"
#include "views/ViewTexts.h"

namespace {

constexpr int SmallestScaleStep = 1;
constexpr int LargestScaleStep = 100;

void SetPosition(UpDownModel& control, int position) {
  control.position = std::clamp(position, control.minimum, control.maximum);
}

// The smallest and largest value of the chart's series, missing values left out.
std::optional<std::pair<double, double>> ValueRange(const ChartModel& chart) {
  std::optional<std::pair<double, double>> range;
  for (const ChartSeries& series : chart.series) {
    for (const ChartPoint& point : series.Points()) {
      if (point.isNull) continue;
      if (!range) range.emplace(point.y, point.y);
      range->first = std::min(range->first, point.y);
      range->second = std::max(range->second, point.y);
    }
  }
  return range;
}

// A multiple of the step, below or above the value; far beyond the controls' ranges it stops.
int RoundedToStep(double value, int step, bool up) {
  constexpr double Limit = 1e9;
  const double size = std::max(step, 1);
  const double steps = up ? std::ceil(value / size) : std::floor(value / size);
  return int(std::clamp(steps * size, -Limit, Limit));
}

}  // namespace

void ClickUpDown(UpDownModel& control, UpDownButton button) {
  SetPosition(control, control.position + (button == UpDownButton::Up ? control.step : -control.step));
}

void ApplyAxisPositions(ChartPageModel& page) {
  page.chart.SetAxisRange(page.upDnMin.position, page.upDnMax.position);
}

void StepAxisMaximum(ChartPageModel& page) {
  UpDownModel& maximum = page.upDnMax;
  UpDownModel& minimum = page.upDnMin;
  if (maximum.position <= minimum.position) SetPosition(maximum, minimum.position + 1);
  if (maximum.position <= minimum.position) SetPosition(minimum, maximum.position - 1);
  ApplyAxisPositions(page);
}

void StepAxisMinimum(ChartPageModel& page) {
  UpDownModel& maximum = page.upDnMax;
  UpDownModel& minimum = page.upDnMin;
  if (minimum.position >= maximum.position) SetPosition(minimum, maximum.position - 1);
  if (minimum.position >= maximum.position) SetPosition(maximum, minimum.position + 1);
  ApplyAxisPositions(page);
}

bool FitAxisToValues(ChartPageModel& page) {
  const std::optional<std::pair<double, double>> range = ValueRange(page.chart);
  if (!range) return false;
  UpDownModel& maximum = page.upDnMax;
  UpDownModel& minimum = page.upDnMin;
  const int bottom = RoundedToStep(range->first, minimum.step, false);
  int top = RoundedToStep(range->second, maximum.step, true);
  if (top <= bottom) top = bottom + std::max(maximum.step, 1);
  SetPosition(minimum, bottom);
  SetPosition(maximum, top);
  // A range beyond the ends of the controls keeps the maximum above the minimum, as a click does.
  StepAxisMaximum(page);
  return true;
}

bool ValuesOffAxis(const ChartModel& chart) {
  for (const ChartSeries& series : chart.series) {
    for (const ChartPoint& point : series.Points()) {
      if (!point.isNull && point.y >= chart.axisMinimum && point.y <= chart.axisMaximum) return false;
    }
  }
  return ValueRange(chart).has_value();
}

QByteArray OffAxisHint(const WindowModel& view, const QString& keyText) {
  QStringList pages;
  for (size_t page = 0; page < view.pages.size(); ++page) {
    if (view.tabVisible[page] && ValuesOffAxis(view.pages[page].chart))
      pages << FromWin1250(view.pageCaptions[page]);
  }
  if (pages.isEmpty()) return {};
  return ToWin1250(QCoreApplication::translate("WindowModel", "Skálán kívül: %1 – %2 illeszti")
                       .arg(pages.join(QStringLiteral(", ")), keyText));
}

QByteArray ScaleInputCaption() {
  return WindowText(QT_TRANSLATE_NOOP("WindowModel", "Skála növelés csökkentés mértéke"));
}

QByteArray ScaleInputPrompt() {
  return WindowText(QT_TRANSLATE_NOOP("WindowModel", "Kérem adja meg az értéket 1-100 ig "));
}

QByteArray ScaleInputPreset(const WindowModel& view) {
  return QByteArray::number(view.pages[PageT].upDnMin.step);
}

std::optional<int> ReadScaleStep(const QByteArray& inputText) {
  int step = 0;
  try {
    step = ParseInteger(inputText);
  } catch (const ValdError&) {
    // The box asks again, as for any other value outside 1 .. 100.
  }
  if (step < SmallestScaleStep || step > LargestScaleStep) return std::nullopt;
  return step;
}

void SetScaleStep(WindowModel& view, int step) {
  for (ChartPageModel& page : view.pages) {
    page.upDnMin.step = step;
    page.upDnMax.step = step;
  }
}
