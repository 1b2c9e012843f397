#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

#include "views/WindowModel.h"

// The value axis of each chart follows its two up/down controls; the maximum control stays above the
// minimum control.

enum class UpDownButton { Up, Down };

// A click on an arrow of an up/down control: the position moves by the step and stops at the ends of
// the control's range, without wrapping.
void ClickUpDown(UpDownModel& control, UpDownButton button);

// The chart's value axis takes the positions of the page's maximum and minimum controls.
void ApplyAxisPositions(ChartPageModel& page);

// After a click on the maximum control: a maximum not above the minimum becomes the minimum plus 1,
// then the axis takes both positions. Only where the maximum cannot rise (its range ends at the
// minimum) does the minimum give way, so the axis is never empty or inverted.
void StepAxisMaximum(ChartPageModel& page);

// After a click on the minimum control: a minimum not below the maximum becomes the maximum minus 1,
// then the axis takes both positions (the maximum gives way only at the end of the minimum's range).
void StepAxisMinimum(ChartPageModel& page);

// "Skála az adatokhoz": the page's two controls take the range of the chart's values, the minimum rounded
// down and the maximum up to the controls' step, each within its control's range, and the axis follows,
// as after clicks on their arrows. A single value or a flat line gets one step of room above it. False,
// with nothing changed, when the chart has no value.
bool FitAxisToValues(ChartPageModel& page);

// The chart has values and not one of them lies within its left axis: the page shows an empty chart.
bool ValuesOffAxis(const ChartModel& chart);

// The status text that names the shown pages whose values all lie off their axis and the key that
// fits the scale (`keyText`, e.g. "F6"); empty when every page with values shows some of them.
QByteArray OffAxisHint(const WindowModel& view, const QString& keyText);

// "Skála": the input box's caption and prompt, and its preset text, the step of UpDnMinT in decimal.
QByteArray ScaleInputCaption();
QByteArray ScaleInputPrompt();
QByteArray ScaleInputPreset(const WindowModel& view);

// The step that the box's text gives: an integer from 1 to 100. Nothing for any other value; a text
// that is no integer counts as 0. The box is shown again until a step is given.
std::optional<int> ReadScaleStep(const QByteArray& inputText);

// Sets the step of all eight axis controls (UpDnMinT, UpDnMaxT, UpDnMinH, UpDnMaxH, ... in this order);
// positions and axes stay.
void SetScaleStep(WindowModel& view, int step);
