#pragma once

#include <array>
#include <optional>

#include "core/SharedState.h"
#include "views/ChannelExtremes.h"
#include "views/WindowModel.h"

// How the chart pages, last-value strips and summary box present a device code's log.
enum class PageFamily {
  TemperatureHumidity,    // n temperature and m humidity channels
  Illumination,           // two lux channels
  Current,                // three mA channels
  RelayEvents,            // legend of the relay event values
  BellEvents,             // legend of four bell event values
  BellEventsWithContact,  // legend of five bell event values, the contact bell among them
  Contact,                // twelve contact channels on an axis of 1 .. 12
  ControlEvent,           // the last control event in words
  Climate,                // temperature, humidity, CO2, VOC
  TwoHumidity,            // temperatures, relative and absolute humidities
  Particulate,            // four particle size classes of four sensors
  EnergyMeter,            // power, voltage and current in tenths
  HubMonitor,             // temperature, humidity, voltage
};

struct PageLayout {
  int code;
  PageFamily family;
  int temperatures = 0;  // n and m of the temperature and humidity family
  int humidities = 0;
};

// The layout of a device code, or nothing (code 11 and every code outside the device table); a code
// without a layout charts no values.
std::optional<PageLayout> LookUpPageLayout(int deviceCode);

// Which chart series a layout fills from its measurement lines: a number of channels on each page in
// the order T, H, C, V. The value columns are read one after another from FirstValueColumn: first into
// Series_T1, Series_T2 ..., then into Series_H1 ..., then C, then V.
std::array<int, 4> ChartChannels(const PageLayout& layout);

// Column of the first value of a measurement line; columns 0 to 4 hold the date and time.
constexpr int FirstValueColumn = 5;

// The energy meter logs its values in tenths; its chart shows them divided by 10 and its raw extremes
// are kept for the summary.
constexpr int EnergyMeterCode = 55;

// The second half of RenderViews, run on the series that PopulateCharts filled: sets the tab width,
// the shown tabs, the page captions and series colours of the DeviceCode's layout, and rewrites the
// last-value strips (from LineFields) and the summary box. A code without a layout changes nothing.
// Numbers are written with the system's decimal separator.
void SetUpPages(const SharedState& state, WindowModel& view, char systemDecimalSeparator,
                const ChannelExtremes& extremes);
