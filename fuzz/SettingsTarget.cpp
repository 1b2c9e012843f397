#include "core/ValdError.h"
#include "fuzz/FreshWindow.h"
#include "fuzz/FuzzInput.h"
#include "fuzz/FuzzTargets.h"
#include "operations/SettingsApplication.h"
#include "settings/DecimalSeparatorRule.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"

namespace {

struct SettingsSession {
  SharedState state;
  WindowModel view = FreshWindow();
  DeviceLink link;
  Environment env;

  // Applies SettingsLines; false when a value was refused.
  bool Apply() {
    try {
      ApplySettings(state, view, link, env);
      return true;
    } catch (const ValdError&) {
      return false;
    }
  }
};

// Every key the save timer and the close step wrote reads back as the value they wrote; an empty
// text wrote no line for its key.
void RequireStoredValues(const SettingsSession& s) {
  const auto requireValue = [&](QByteArrayView key, const QByteArray& value) {
    if (!value.isEmpty()) FUZZ_REQUIRE(ReadSetting(s.state.SettingsLines, key) == value);
  };
  for (int i = 0; i < 5; ++i) requireValue(AddressKeys[i], s.view.addressEdits[i]);
  requireValue("eeaddr", s.view.eeAddrEdit);
  for (int page = 0; page < 4; ++page) {
    requireValue(AxisMaximumKeys[page], QByteArray::number(s.view.pages[page].upDnMax.position));
    requireValue(AxisMinimumKeys[page], QByteArray::number(s.view.pages[page].upDnMin.position));
  }
  requireValue("Increment", QByteArray::number(s.view.pages[PageT].upDnMin.step));
  requireValue("Left", QByteArray::number(s.view.geometry.left()));
  requireValue("Top", QByteArray::number(s.view.geometry.top()));
  requireValue("Width", QByteArray::number(s.view.geometry.width()));
  requireValue("Height", QByteArray::number(s.view.geometry.height()));
}

}  // namespace

// cfg.ini read and applied at start, then the save timer's and the close step's keys written back
// and read again by a fresh start.
void FuzzSettings(std::span<const uint8_t> data) {
  FuzzInput input(data);
  SettingsSession first;
  first.env.systemDecimalSeparator = (input.TakeByte() & 1) != 0 ? ',' : '.';
  first.state.SettingsLines.SetText(input.RestAsText());
  const bool applied = first.Apply();

  // Every axis leaves the start with a minimum below its maximum, within the controls' ranges, and the
  // values are written with a separator that keeps the files' columns.
  if (applied) {
    FUZZ_REQUIRE(IsUsableDecimalSeparator(first.state.DecimalSeparatorText.front()));
    for (const ChartPageModel& page : first.view.pages) {
      FUZZ_REQUIRE(page.upDnMin.position < page.upDnMax.position);
      FUZZ_REQUIRE(page.upDnMin.position >= page.upDnMin.minimum);
      FUZZ_REQUIRE(page.upDnMax.position <= page.upDnMax.maximum);
      FUZZ_REQUIRE(page.chart.axisMinimum < page.chart.axisMaximum);
      FUZZ_REQUIRE(page.upDnMin.step >= 1);
    }
  }

  StoreTimerSettings(first.state, first.view);
  StoreGeometrySettings(first.state, first.view);
  RequireStoredValues(first);

  // The file as written: a start that applied the first file applies it too, to the same controls.
  SettingsSession second;
  second.env = first.env;
  second.state.SettingsLines.SetText(first.state.SettingsLines.Text());
  FUZZ_REQUIRE(second.state.SettingsLines == first.state.SettingsLines);
  if (!applied) return;
  FUZZ_REQUIRE(second.Apply());
  FUZZ_REQUIRE(second.link.port == first.link.port);
  FUZZ_REQUIRE(second.state.DecimalSeparatorText == first.state.DecimalSeparatorText);
  FUZZ_REQUIRE(second.view.geometry == first.view.geometry);
  for (int page = 0; page < 4; ++page) {
    const ChartPageModel& a = first.view.pages[page];
    const ChartPageModel& b = second.view.pages[page];
    FUZZ_REQUIRE(a.upDnMax.position == b.upDnMax.position && a.upDnMin.position == b.upDnMin.position);
    FUZZ_REQUIRE(a.upDnMin.step == b.upDnMin.step && a.upDnMax.step == b.upDnMax.step);
  }
}
