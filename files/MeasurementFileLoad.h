#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

#include "core/SharedState.h"
#include "decode/DeviceCatalogue.h"

// What loading a measurement file did.
struct LoadedMeasurementFile {
  std::optional<DeviceType> deviceType;  // the type the file opens as; nothing: "No device"
  QByteArray logText;                    // Memo2: the measurement lines, for a known type
};

// Loads the content of the measurement file at `path` (read whole beforehand) into LogRecords, each record
// with its line. The DeviceCode comes from the path (DetectDeviceCode); for a known code RecordLength is
// set from the open table. For an unknown code everything but LogRecords and the DeviceCode stays as it was.
// ChipCode and DecodedLines are never touched.
LoadedMeasurementFile LoadMeasurementFile(SharedState& state, const QString& path, const QByteArray& content);
