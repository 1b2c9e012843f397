#pragma once

#include <QString>
#include <vector>

#include "decode/DeviceCatalogue.h"

// A value column of a device type's records as the archive, the exports and the broker name it: its
// quantity and its number among the type's columns of that quantity ("temperature_2" is the second
// temperature column).
struct DeviceChannel {
  int column = 0;      // 1 for the record's first value, the archive's v1
  int number = 0;      // among the columns of the same quantity, from 1
  bool alone = false;  // the type's only column of its quantity
  const Quantity* quantity = nullptr;

  QString Key() const;  // "temperature_2"
  // "Hőmérséklet 2 (°C)", in English "Temperature 2 (°C)"; no unit for a quantity without one.
  QString Label() const;
};

// The channels of a catalogue row in column order.
std::vector<DeviceChannel> DeviceChannels(const DeviceType& type);
