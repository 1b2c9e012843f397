#pragma once

#include <QByteArray>
#include <optional>
#include <span>

#include "link/MemoryMap.h"

// One row of the device type table: what a DeviceCode in the log header means.
struct DeviceType {
  int code;
  const char* name;  // DeviceTypeName (ASCII)
  int recordLength;  // bytes per log record: 6 bytes of kind and time stamp, then two-byte fields
  int fieldType;     // decoding rule of every value field
};

// The 59 known device codes, in code order.
std::span<const DeviceType> DeviceTypeTable();

// The row of a DeviceCode, or nothing for an unknown code.
std::optional<DeviceType> LookUpDeviceType(int deviceCode);

// What the ChipCode of the log header means for the readout.
struct ChipInfo {
  int blockCount;        // 512-byte log blocks to read (32 or 96)
  const char* chipText;  // status bar text, or nullptr: the panel keeps its text
  int logCapacityBytes;  // log size used by the fill gauge, 0 when unknown
};
ChipInfo ChipBlockCount(int chipCode);

// The measurement file suffix of a device type: " VALD_<name>.csv".
QByteArray MeasurementFileSuffix(const DeviceType& type);
