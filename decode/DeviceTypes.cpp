#include "decode/DeviceTypes.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<DeviceType, 59> Table = {{
    {2, "AGATE", 10, 1},       {3, "BASALT", 14, 1},      {4, "CALCITE", 12, 1},     {5, "DOLOMITE", 22, 1},
    {6, "EPIDOTE", 10, 1},     {7, "FELDSPAR", 14, 1},    {8, "GARNET", 10, 1},      {9, "HEMATITE", 18, 1},
    {10, "IOLITE", 30, 1},     {11, "JASPER", 10, 1},     {12, "KYANITE", 8, 1},     {13, "LAZURITE", 10, 1},
    {14, "MALACHITE", 10, 2},  {15, "NEPHRITE", 10, 1},   {16, "OLIVINE", 10, 1},    {17, "AGATE", 10, 3},
    {18, "PYRITE", 12, 4},     {19, "QUARTZ", 30, 4},     {21, "AGATE", 10, 10},     {22, "BASALT", 14, 10},
    {23, "HEMATITE", 18, 10},  {24, "CALCITE", 12, 10},   {25, "FELDSPAR", 14, 10},  {26, "DOLOMITE", 22, 10},
    {27, "IOLITE", 30, 10},    {28, "EPIDOTE", 10, 10},   {29, "GARNET", 30, 10},    {30, "QUARTZ", 14, 10},
    {31, "JASPER", 8, 12},     {32, "KYANITE", 8, 10},    {33, "OLIVINE", 10, 10},   {34, "LAZURITE", 10, 10},
    {35, "WAVELLITE", 10, 10}, {36, "MALACHITE", 10, 11}, {37, "NEPHRITE", 10, 10},  {38, "PYRITE", 12, 10},
    {39, "XENOTIME", 8, 5},    {40, "ZIRCON", 8, 5},      {41, "AMBER", 8, 5},       {42, "SPINEL", 30, 10},
    {43, "TOPAZ", 14, 7},      {44, "ULEXITE", 14, 7},    {45, "VARISCITE", 30, 10}, {46, "XENOTIME", 8, 5},
    {47, "BERYL", 8, 5},       {48, "CINNABAR", 14, 10},  {49, "DIOPSIDE", 14, 10},  {50, "EMERALD", 38, 10},
    {51, "FLUORITE", 10, 10},  {52, "GALENA", 8, 10},     {53, "HALITE", 10, 10},    {54, "IDOCRASE", 14, 10},
    {55, "JADEITE", 24, 13},   {56, "KUNZITE", 12, 10},   {102, "RUTILE", 8, 5},     {103, "SPINEL", 30, 1},
    {104, "TOPAZ", 14, 6},     {105, "ULEXITE", 14, 6},   {106, "VARISCITE", 30, 1},
}};

static_assert(std::is_sorted(Table.begin(), Table.end(), [](auto& a, auto& b) { return a.code < b.code; }));

}  // namespace

std::span<const DeviceType> DeviceTypeTable() {
  return Table;
}

std::optional<DeviceType> LookUpDeviceType(int deviceCode) {
  const auto it = std::lower_bound(Table.begin(), Table.end(), deviceCode,
                                   [](const DeviceType& row, int code) { return row.code < code; });
  if (it == Table.end() || it->code != deviceCode) return std::nullopt;
  return *it;
}

ChipInfo ChipBlockCount(int chipCode) {
  if (chipCode == 1) return {32, "25LC254", 16320};
  if (chipCode == 2) return {96, "25LC512", 49024};
  return {96, nullptr, 0};
}

QByteArray MeasurementFileSuffix(const DeviceType& type) {
  return QByteArray(" VALD_") + type.name + ".csv";
}
