#include "operations/SettingsApplication.h"

#include <QFileInfo>
#include <algorithm>

#include "core/ValdError.h"
#include "settings/Settings.h"
#include "settings/WindowPlacement.h"

namespace {

// Start-up keeps the axis maximum this far above the minimum; a click on the controls keeps 1.
constexpr int StartupAxisMargin = 10;

void ApplyPosition(UpDownModel& control, int value) {
  control.position = std::clamp(value, control.minimum, control.maximum);
}

void ApplyAxis(const AxisSettings& axis, ChartPageModel& page) {
  if (axis.top) ApplyPosition(page.upDnMax, *axis.top);
  if (axis.bottom) ApplyPosition(page.upDnMin, *axis.bottom);
  if (!axis.complete) return;
  if (axis.increment) {
    page.upDnMin.step = *axis.increment;
    page.upDnMax.step = page.upDnMin.step;
  }
  if (page.upDnMin.position >= page.upDnMax.position) {
    ApplyPosition(page.upDnMax, page.upDnMin.position + StartupAxisMargin);
    // At the top of the range the maximum cannot move up: the minimum makes room instead.
    if (page.upDnMin.position >= page.upDnMax.position) {
      ApplyPosition(page.upDnMin, page.upDnMax.position - StartupAxisMargin);
    }
  }
  page.chart.SetAxisRange(page.upDnMin.position, page.upDnMax.position);
}

}  // namespace

QStringList LoadAndApplySettings(SharedState& state, WindowModel& view, DeviceLink& link,
                                 const Environment& env) {
  LoadSettingsFile(state, env);
  return ApplySettings(state, view, link, env);
}

QStringList ApplySettings(SharedState& state, WindowModel& view, DeviceLink& link, const Environment& env) {
  const SettingsValues values =
      ReadSettingsValues(state.SettingsLines, state.DecimalSeparatorText, env.systemDecimalSeparator);
  if (values.udpPort) link.port = uint16_t(*values.udpPort);
  if (values.portRead) view.statusPanels[5] = QByteArray::number(link.port);
  if (values.left) view.geometry.moveLeft(*values.left);
  if (values.top) view.geometry.moveTop(*values.top);
  if (values.width) view.geometry.setWidth(*values.width);
  if (values.height) view.geometry.setHeight(*values.height);
  view.geometry = StartupGeometry(view.geometry, values.left && values.top, env.AvailableScreens());
  for (int i = 0; i < 5; ++i) {
    if (values.addresses[i]) view.addressEdits[i] = *values.addresses[i];
  }
  if (values.decimalSeparatorText) state.DecimalSeparatorText = *values.decimalSeparatorText;
  if (values.eeAddr) view.eeAddrEdit = *values.eeAddr;
  for (int page = 0; page < 4; ++page) ApplyAxis(values.axes[page], view.pages[page]);
  if (values.Failed()) throw ValdError(values.error);
  return values.notices;
}

void StoreTimerSettings(SharedState& state, const WindowModel& view) {
  TimerSettings values;
  for (int i = 0; i < 5; ++i) values.addresses[i] = view.addressEdits[i];
  values.eeAddr = view.eeAddrEdit;
  for (int page = 0; page < 4; ++page) {
    values.axisMaxima[page] = view.pages[page].upDnMax.position;
    values.axisMinima[page] = view.pages[page].upDnMin.position;
  }
  values.increment = view.pages[PageT].upDnMin.step;
  StoreTimerSettings(state.SettingsLines, values);
}

void StoreGeometrySettings(SharedState& state, const WindowModel& view) {
  StoreGeometrySettings(state.SettingsLines, view.geometry.left(), view.geometry.top(), view.geometry.width(),
                        view.geometry.height());
}

QStringList RunCreationStep(SharedState& state, WindowModel& view, DeviceLink& link, const Environment& env) {
  state.RecreateLists();
  // Without a cfg.ini to apply the window still opens on the screen.
  view.geometry = StartupGeometry(view.geometry, false, env.AvailableScreens());
  QStringList notices = LoadAndApplySettings(state, view, link, env);
  view.labelDevice = DeviceLabelPlaceholder();
  view.developerPageVisible = QFileInfo::exists(env.ProgramFile(DeveloperMarkerFileName));
  return notices;
}
