#include "decode/DeviceCatalogue.h"

#include <QCoreApplication>
#include <algorithm>
#include <array>

namespace {

using enum PageFamily;
using enum DetectionPass;

// The particle size classes share one course.
constexpr DailyCurve Particles{4, 25, 1, 2, 3, 0, 500};

constexpr std::array<Quantity, 18> Quantities = {{
    {'T',
     "temperature",
     "°C",
     1,
     1,
     QT_TRANSLATE_NOOP("Quantity", "Hőmérséklet"),
     "Temperature",
     "temperature",
     nullptr,
     {18.5, 25.0, 1, 0.3, 0.7, -40, 100}},
    {'H',
     "humidity",
     "%",
     1,
     1,
     QT_TRANSLATE_NOOP("Quantity", "Páratartalom"),
     "Humidity",
     "humidity",
     nullptr,
     {62, 38, 1, 1.5, 2, 0, 100}},
    {'A',
     "absolute_humidity",
     "g/m³",
     1,
     1,
     QT_TRANSLATE_NOOP("Quantity", "Abszolút páratartalom"),
     "Absolute humidity",
     nullptr,
     nullptr,
     {9, 11, 1, 0.3, 0.3, 0, 30}},
    {'C',
     "co2",
     "ppm",
     0,
     1,
     QT_TRANSLATE_NOOP("Quantity", "CO2"),
     "CO2",
     "carbon_dioxide",
     nullptr,
     {450, 1400, 1, 40, 30, 380, 5000}},
    {'V',
     "voc",
     "ppb",
     0,
     1,
     QT_TRANSLATE_NOOP("Quantity", "VOC"),
     "VOC",
     "volatile_organic_compounds_parts",
     nullptr,
     {80, 450, 1, 20, 10, 0, 2000}},
    {'L',
     "illuminance",
     "lux",
     0,
     1,
     QT_TRANSLATE_NOOP("Quantity", "Megvilágítás"),
     "Illuminance",
     "illuminance",
     "lx",
     {0, 800, 4, 20, 50, 0, 60000}},
    {'I',
     "current",
     "mA",
     1,
     1,
     QT_TRANSLATE_NOOP("Quantity", "Áramerősség"),
     "Current",
     "current",
     nullptr,
     {250, 1600, 1, 40, 100, 0, 3000}},
    {'U',
     "voltage",
     "V",
     1,
     1,
     QT_TRANSLATE_NOOP("Quantity", "Feszültség"),
     "Voltage",
     "voltage",
     nullptr,
     {229, 233, 1, 0.5, 0.3, 0, 300}},
    {'1', "pm1_0", "µg/m³", 1, 1, QT_TRANSLATE_NOOP("Quantity", "PM1.0"), "PM1.0", "pm1", nullptr, Particles},
    {'2', "pm2_5", "µg/m³", 1, 1, QT_TRANSLATE_NOOP("Quantity", "PM2.5"), "PM2.5", "pm25", nullptr,
     Particles},
    {'4', "pm4_0", "µg/m³", 1, 1, QT_TRANSLATE_NOOP("Quantity", "PM4.0"), "PM4.0", nullptr, nullptr,
     Particles},
    {'0', "pm10", "µg/m³", 1, 1, QT_TRANSLATE_NOOP("Quantity", "PM10.0"), "PM10.0", "pm10", nullptr,
     Particles},
    {'W',
     "power",
     "kW",
     1,
     0.1,
     QT_TRANSLATE_NOOP("Quantity", "Teljesítmény"),
     "Power",
     "power",
     nullptr,
     {3.5, 14, 1, 0.5, 0.5, 1, 65000}},
    {'Y',
     "voltage",
     "V",
     1,
     0.1,
     QT_TRANSLATE_NOOP("Quantity", "Feszültség"),
     "Voltage",
     "voltage",
     nullptr,
     {2290, 2330, 1, 5, 3, 1, 65000}},
    {'Z',
     "current",
     "A",
     1,
     0.1,
     QT_TRANSLATE_NOOP("Quantity", "Áramerősség"),
     "Current",
     "current",
     nullptr,
     {15, 60, 1, 2, 2, 1, 65000}},
    {'K', "state", "", 0, 1, QT_TRANSLATE_NOOP("Quantity", "Kontaktus"), "Contact", nullptr, nullptr, {}},
    {'R',
     "event",
     "",
     0,
     1,
     QT_TRANSLATE_NOOP("Quantity", "Relé esemény"),
     "Relay event",
     nullptr,
     nullptr,
     {}},
    {'B', "event", "", 0, 1, QT_TRANSLATE_NOOP("Quantity", "Esemény"), "Event", nullptr, nullptr, {}},
}};

// Further values a device logs without a meaning the program knows; they are kept, not charted.
constexpr Quantity UnknownQuantity{'X',     "value",
                                   "",      1,
                                   1,       QT_TRANSLATE_NOOP("Quantity", "Érték"),
                                   "Value", nullptr,
                                   nullptr, {40, 60, 1, 5, 5, 0, 100}};

constexpr std::string_view Pm = "1111222244440000";

constexpr std::array<DeviceType, 59> Table = {{
    {2, "AGATE", 10, 1, TemperatureHumidity, First, "TT"},
    {3, "BASALT", 14, 1, TemperatureHumidity, First, "TTTT"},
    {4, "CALCITE", 12, 1, TemperatureHumidity, First, "TTH"},
    {5, "DOLOMITE", 22, 1, TemperatureHumidity, First, "TTTTHHHH"},
    {6, "EPIDOTE", 10, 1, TemperatureHumidity, First, "TT"},
    {7, "FELDSPAR", 14, 1, TemperatureHumidity, First, "TTHH"},
    {8, "GARNET", 10, 1, TemperatureHumidity, First, "TH"},
    {9, "HEMATITE", 18, 1, TemperatureHumidity, First, "TTTTTT"},
    {10, "IOLITE", 30, 1, TemperatureHumidity, First, "TTTTTTHHHHHH"},
    {11, "JASPER", 10, 1, None, First, "XX"},
    {12, "KYANITE", 8, 1, TemperatureHumidity, First, "T"},
    {13, "LAZURITE", 10, 1, TemperatureHumidity, First, "TT"},
    {14, "MALACHITE", 10, 2, Illumination, First, "LL"},
    {15, "NEPHRITE", 10, 1, TemperatureHumidity, First, "TT"},
    {16, "OLIVINE", 10, 1, TemperatureHumidity, First, "TT"},
    {17, "AGATE", 10, 3, TemperatureHumidity, First, "TT"},
    {18, "PYRITE", 12, 4, Current, First, "III"},
    {19, "QUARTZ", 30, 4, TemperatureHumidity, First, "TTHHXXXXXXXX"},
    {21, "AGATE", 10, 10, TemperatureHumidity, Second, "TT"},
    {22, "BASALT", 14, 10, TemperatureHumidity, Second, "TTTT"},
    {23, "HEMATITE", 18, 10, TemperatureHumidity, Second, "TTTTTT"},
    {24, "CALCITE", 12, 10, TemperatureHumidity, Second, "TTH"},
    {25, "FELDSPAR", 14, 10, TemperatureHumidity, Second, "TTHH"},
    {26, "DOLOMITE", 22, 10, TemperatureHumidity, Second, "TTTTHHHH"},
    {27, "IOLITE", 30, 10, TemperatureHumidity, Second, "TTTTTTHHHHHH"},
    {28, "EPIDOTE", 10, 10, TemperatureHumidity, Second, "TT"},
    {29, "GARNET", 30, 10, TemperatureHumidity, Second, "THXXXXXXXXXX"},
    {30, "QUARTZ", 14, 10, TemperatureHumidity, Second, "TTHH"},
    {31, "JASPER", 8, 12, RelayEvents, Second, "RR"},
    {32, "KYANITE", 8, 10, TemperatureHumidity, Second, "T"},
    {33, "OLIVINE", 10, 10, TemperatureHumidity, Second, "TT"},
    {34, "LAZURITE", 10, 10, TemperatureHumidity, Second, "TT"},
    {35, "WAVELLITE", 10, 10, TemperatureHumidity, Second, "TT"},
    {36, "MALACHITE", 10, 11, Illumination, Second, "LL"},
    {37, "NEPHRITE", 10, 10, TemperatureHumidity, Second, "TT"},
    {38, "PYRITE", 12, 10, Current, Second, "III"},
    {39, "XENOTIME", 8, 5, BellEvents, Second, "B"},
    {40, "ZIRCON", 8, 5, BellEvents, Second, "B"},
    {41, "AMBER", 8, 5, BellEvents, Second, "B"},
    {42, "SPINEL", 30, 10, Contact, Second, "KKKKKKKKKKKK"},
    {43, "TOPAZ", 14, 7, Climate, Second, "THCV", 8},
    {44, "ULEXITE", 14, 7, Climate, Second, "THCV", 8},
    {45, "VARISCITE", 30, 10, TwoHumidity, Second, "TTTTHHHHAAAA"},
    {46, "XENOTIME", 8, 5, BellEvents, Second, "B"},
    {47, "BERYL", 8, 5, BellEventsWithContact, Second, "B"},
    {48, "CINNABAR", 14, 10, TemperatureHumidity, Second, "TTHH"},
    {49, "DIOPSIDE", 14, 10, TemperatureHumidity, Second, "TTHH"},
    {50, "EMERALD", 38, 10, Particulate, Second, Pm},
    {51, "FLUORITE", 10, 10, TemperatureHumidity, Second, "TH"},
    {52, "GALENA", 8, 10, TemperatureHumidity, Second, "T"},
    {53, "HALITE", 10, 10, TemperatureHumidity, Second, "TT"},
    {54, "IDOCRASE", 14, 10, TemperatureHumidity, Second, "TTTT"},
    {55, "JADEITE", 24, 13, EnergyMeter, Second, "WWWYYYZZZ"},
    {56, "KUNZITE", 12, 10, HubMonitor, Second, "THU"},
    {102, "RUTILE", 8, 5, ControlEvent, First, "B"},
    {103, "SPINEL", 30, 1, Contact, First, "KKKKKKKKKKKK"},
    {104, "TOPAZ", 14, 6, Climate, First, "THCV", 8},
    {105, "ULEXITE", 14, 6, Climate, First, "THCV", 8},
    {106, "VARISCITE", 30, 1, TwoHumidity, First, "TTTTHHHHAAAA"},
}};

static_assert(std::is_sorted(Table.begin(), Table.end(), [](auto& a, auto& b) { return a.code < b.code; }));

constexpr int RelayEventFieldType = 12;

// Every row has one value column per two-byte field (two for a relay event field), and every letter
// it uses is a quantity.
constexpr bool RowsFitTheirRecords() {
  for (const DeviceType& row : Table) {
    const int fields = (row.recordLength - 6) / 2;
    const int perField = row.fieldType == RelayEventFieldType ? 2 : 1;
    if (fields * perField != int(row.columns.size())) return false;
    for (const char letter : row.columns) {
      if (letter != UnknownQuantity.letter &&
          std::none_of(Quantities.begin(), Quantities.end(), [&](auto& q) { return q.letter == letter; }))
        return false;
    }
  }
  return true;
}
static_assert(RowsFitTheirRecords());

}  // namespace

std::span<const DeviceType> DeviceTypeTable() {
  return Table;
}

const DeviceType* FindDeviceType(int deviceCode) {
  const auto it = std::lower_bound(Table.begin(), Table.end(), deviceCode,
                                   [](const DeviceType& row, int code) { return row.code < code; });
  if (it == Table.end() || it->code != deviceCode) return nullptr;
  return &*it;
}

std::optional<DeviceType> LookUpDeviceType(int deviceCode) {
  const DeviceType* row = FindDeviceType(deviceCode);
  return row ? std::optional<DeviceType>(*row) : std::nullopt;
}

const Quantity& QuantityOf(char letter) {
  for (const Quantity& quantity : Quantities) {
    if (quantity.letter == letter) return quantity;
  }
  return UnknownQuantity;
}

QString QuantityCaption(const Quantity& quantity) {
  return QCoreApplication::translate("Quantity", quantity.labelHu);
}

std::span<const Quantity> QuantityTable() {
  return Quantities;
}

int ColumnsPerField(int fieldType) {
  return fieldType == RelayEventFieldType ? 2 : 1;
}

ChipInfo ChipBlockCount(int chipCode) {
  if (chipCode == 1) return {32, "25LC254", 16320};
  if (chipCode == 2) return {96, "25LC512", 49024};
  return {96, nullptr, 0};
}

QByteArray MeasurementFileSuffix(const DeviceType& type) {
  return QByteArray(" VALD_") + type.name + ".csv";
}
