#pragma once

#include <QByteArray>
#include <QString>
#include <algorithm>
#include <optional>
#include <span>
#include <string_view>

// How the chart pages, last-value strips and summary box present a device type's log.
enum class PageFamily {
  None,                   // nothing charted (its values are kept all the same)
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

// A measurement file carries its device type in its name only; the names are tested in two passes,
// the older record encodings first, so that a type name shared by two codes opens as the newer one.
enum class DetectionPass { First, Second };

// A plausible daily course of a quantity, as the device simulator generates it: the night value at
// 04:00, the day value at 16:00, a cosine between them raised to `sharpness` (so that light stays near
// zero at night), noise as a standard deviation, a shift per channel so that the channels of one device
// differ, and the range a reading stays within. All zero for a quantity that is no reading.
struct DailyCurve {
  double night = 0;
  double day = 0;
  double sharpness = 0;
  double noise = 0;
  double channelStep = 0;
  double low = 0;
  double high = 0;
};

// What one value column of a device's records measures, everything the program knows of it in one row.
// `letter` is its short name in the catalogue rows; `key` names it for the archive, the exports and the
// broker.
struct Quantity {
  char letter;
  const char* key;
  const char* unit;     // UTF-8
  int decimals;         // decimals worth showing of the value in `unit`
  double scale;         // the logged number times scale is the value in `unit`
  const char* labelHu;  // UTF-8; the source text of its caption in the translation (context "Quantity")
  const char* labelEn;  // the English caption, kept as it is where no translation applies (archive, broker)
  const char* homeAssistantClass;  // Home Assistant's device class; nullptr where it has none
  const char* homeAssistantUnit;   // the unit as Home Assistant spells it; nullptr: `unit`
  DailyCurve curve;                // the simulator's readings
};

// One row of the device catalogue: everything that a DeviceCode in the log header means.
struct DeviceType {
  int code;
  const char* name;  // DeviceTypeName (ASCII)
  int recordLength;  // bytes per log record: 6 bytes of kind and time stamp, then two-byte fields
  int fieldType;     // decoding rule of every value field
  PageFamily family;
  DetectionPass pass;
  // One quantity letter per value column of a measurement line, in column order (a relay event field
  // gives two columns, every other field one).
  std::string_view columns;
  // The record length a measurement file of this code opens with, when it differs from the readout's:
  // climate files open with 8; after an open only the capacity display reads it.
  int openRecordLength = 0;

  int ValueColumns() const { return int(columns.size()); }
  int OpenRecordLength() const { return openRecordLength ? openRecordLength : recordLength; }
  // Value columns of this row that measure the quantity `letter`.
  int ColumnsOf(char letter) const { return int(std::count(columns.begin(), columns.end(), letter)); }
};

// The 59 known device codes, in code order.
std::span<const DeviceType> DeviceTypeTable();

// The row of a DeviceCode, or nothing for an unknown code.
const DeviceType* FindDeviceType(int deviceCode);
std::optional<DeviceType> LookUpDeviceType(int deviceCode);

// The quantity of a catalogue letter; every letter the rows use has one.
const Quantity& QuantityOf(char letter);
std::span<const Quantity> QuantityTable();

// A quantity's caption in the installed translation's language: "Hőmérséklet", in English "Temperature".
QString QuantityCaption(const Quantity& quantity);

// Value columns a field of `fieldType` gives: two for the relay event field, one for every other.
int ColumnsPerField(int fieldType);

// What the ChipCode of the log header means for the readout.
struct ChipInfo {
  int blockCount;        // 512-byte log blocks to read (32 or 96)
  const char* chipText;  // status bar text, or nullptr: the panel keeps its text
  int logCapacityBytes;  // log size used by the fill gauge, 0 when unknown
};
ChipInfo ChipBlockCount(int chipCode);

// The measurement file suffix of a device type: " VALD_<name>.csv".
QByteArray MeasurementFileSuffix(const DeviceType& type);
