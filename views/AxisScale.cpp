#include "views/AxisScale.h"

#include <algorithm>

#include "core/IntegerText.h"
#include "core/ValdError.h"
#include "views/ViewTexts.h"

namespace {

constexpr int SmallestScaleStep = 1;
constexpr int LargestScaleStep = 100;

void SetPosition(UpDownModel& control, int position) {
  control.position = std::clamp(position, control.minimum, control.maximum);
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
