#pragma once

#include <QString>

#include "core/Environment.h"
#include "core/SharedState.h"
#include "views/WindowModel.h"

// "Megnyitás": loads a measurement file into LogLines and draws it as if just read out. The whole
// file is read first; when that fails, ValdError names the file and the reason and nothing has
// changed. The DeviceCode comes from the path (DetectDeviceCode). For a known code, RecordLength and
// the device name are set from the open table, the "Adatok" page shows LogLines and RenderViews runs
// (its errors propagate, with LogLines already holding the file). For an unknown code the device name
// becomes "No device" and everything else but LogLines stays as it was. ChipCode, DecodedLines and
// the "Data" page are never touched.
void OpenMeasurementFile(SharedState& state, WindowModel& view, const Environment& env, const QString& path);
