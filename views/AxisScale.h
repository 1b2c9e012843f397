#pragma once

#include <QByteArray>
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
