#include "settings/Settings.h"

#include <algorithm>

#include "core/EditedTextFile.h"
#include "core/ValdError.h"
#include "decode/DecimalSeparatorRule.h"
#include "settings/SettingsFile.h"

namespace {

// Window edges and sizes from cfg.ini are applied as they are, within a range that no screen reaches
// but that keeps the window's edge arithmetic clear of integer overflow.
constexpr int WindowCoordinateLimit = (1 << 24) - 1;

int WindowCoordinate(int value) {
  return std::clamp(value, -WindowCoordinateLimit, WindowCoordinateLimit);
}

// Start-up keeps the axis maximum this far above the minimum; a click on the controls keeps 1.
constexpr int StartupAxisMargin = 10;

void ApplyPosition(UpDownModel& control, int value) {
  control.position = std::clamp(value, control.minimum, control.maximum);
}

void ApplyChartSettings(const TextLines& settings, ChartPageModel& page, int chart) {
  if (const auto top = ReadIntegerSetting(settings, AxisMaximumKeys[chart]))
    ApplyPosition(page.upDnMax, *top);
  if (const auto bottom = ReadIntegerSetting(settings, AxisMinimumKeys[chart]))
    ApplyPosition(page.upDnMin, *bottom);
  if (const auto increment = ReadIntegerSetting(settings, "Increment")) {
    // A step below 1 would leave the controls unable to move.
    page.upDnMin.step = std::max(*increment, 1);
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

QString RefusedSeparatorNotice(char refused, char used) {
  return QStringLiteral(
             "A cfg.ini DecimalSeparator értéke („%1”) nem lehet tizedesjel: pontosvessző, számjegy, előjel, "
             "idézőjel vagy vezérlőkarakter elrontaná a mérési fájlokat. Helyette a rendszer tizedesjele "
             "(„%2”) érvényes.")
      .arg(SeparatorForMessage(refused), SeparatorForMessage(used));
}

}  // namespace

QStringList LoadAndApplySettings(SharedState& state, WindowModel& view, DeviceLink& link,
                                 const Environment& env) {
  const QString path = env.ProgramFile(SettingsFileName);
  // A refused line leaves the file's lines in memory as they are, so a save writes them back whole.
  state.SettingsLines = EditedFileLines(ReadWholeFile(path));
  CheckEditedLines(state.SettingsLines, path);
  return ApplySettings(state, view, link, env);
}

QStringList ApplySettings(SharedState& state, WindowModel& view, DeviceLink& link, const Environment& env) {
  const TextLines& settings = state.SettingsLines;
  QStringList notices;
  if (const auto port = ReadIntegerSetting(settings, "UDPport")) {
    if (*port < 1 || *port > 65535) {
      throw ValdError(QStringLiteral("'%1' is not a valid UDP port").arg(*port));
    }
    link.port = uint16_t(*port);
  }
  view.statusPanels[5] = QByteArray::number(link.port);

  if (const auto left = ReadIntegerSetting(settings, "Left")) view.geometry.moveLeft(WindowCoordinate(*left));
  if (const auto top = ReadIntegerSetting(settings, "Top")) view.geometry.moveTop(WindowCoordinate(*top));
  if (const auto width = ReadIntegerSetting(settings, "Width"))
    view.geometry.setWidth(WindowCoordinate(*width));
  if (const auto height = ReadIntegerSetting(settings, "Height"))
    view.geometry.setHeight(WindowCoordinate(*height));

  for (int i = 0; i < 5; ++i) {
    if (const auto address = ReadSetting(settings, AddressKeys[i])) view.addressEdits[i] = *address;
  }
  if (const auto separator = ReadSetting(settings, "DecimalSeparator")) {
    // FieldType 1 values are written with the first character.
    if (IsUsableDecimalSeparator(separator->front())) {
      state.DecimalSeparatorText = *separator;
    } else {
      state.DecimalSeparatorText.clear();
      notices.append(RefusedSeparatorNotice(separator->front(), env.systemDecimalSeparator));
    }
  }
  // Without a configured separator the decoded values use the system's, which is also what the views
  // expect when they read the values back.
  if (state.DecimalSeparatorText.isEmpty())
    state.DecimalSeparatorText = QByteArray(1, env.systemDecimalSeparator);
  if (const auto eeAddr = ReadSetting(settings, "eeaddr")) view.eeAddrEdit = *eeAddr;

  for (int page = 0; page < 4; ++page) ApplyChartSettings(settings, view.pages[page], page);
  return notices;
}

void StoreTimerSettings(SharedState& state, const WindowModel& view) {
  TextLines& settings = state.SettingsLines;
  for (int i = 0; i < 5; ++i) WriteSetting(settings, AddressKeys[i], view.addressEdits[i]);
  WriteSetting(settings, "eeaddr", view.eeAddrEdit);
  for (int page = 0; page < 4; ++page) {
    WriteSetting(settings, AxisMaximumKeys[page], QByteArray::number(view.pages[page].upDnMax.position));
    WriteSetting(settings, AxisMinimumKeys[page], QByteArray::number(view.pages[page].upDnMin.position));
  }
  WriteSetting(settings, "Increment", QByteArray::number(view.pages[PageT].upDnMin.step));
}

void StoreGeometrySettings(SharedState& state, const WindowModel& view) {
  WriteSetting(state.SettingsLines, "Left", QByteArray::number(view.geometry.left()));
  WriteSetting(state.SettingsLines, "Top", QByteArray::number(view.geometry.top()));
  WriteSetting(state.SettingsLines, "Width", QByteArray::number(view.geometry.width()));
  WriteSetting(state.SettingsLines, "Height", QByteArray::number(view.geometry.height()));
}

void SaveSettingsFile(const SharedState& state, const Environment& env) {
  state.SettingsLines.SaveToFile(env.ProgramFile(SettingsFileName));
}
