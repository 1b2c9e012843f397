#pragma once

#include <QByteArray>

#include "tools/sim/DeviceImage.h"
#include "tools/sim/SimulatorConfig.h"

// A log memory of logSize bytes as the device would have written it for config.deviceCode: records of
// the device's RecordLength (kind byte, year - 2000, month, day, hour, minute, value fields in the
// device's FieldType), one every intervalMinutes from config.start.
//
// Not wrapped: the records from the start of the memory, kind 'w', then an 'f' end record.
// Wrapped: the newest third of the records kind 'w', the write point kind 'x', the older records kind
// 'w', then an 'e' end record; read back in the device's ordering this gives the records in time order.
// Everything after the end record is erased memory (0xFF). An unknown device code gives an erased log.
QByteArray GenerateLog(const SimulatorConfig& config, int logSize);

// The image the simulator serves: config.image when given, otherwise the header of config and a
// generated log as long as the chip's block count.
DeviceImage SimulatedDeviceImage(const SimulatorConfig& config);
