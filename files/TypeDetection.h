#pragma once

#include <QString>
#include <optional>

#include "decode/DeviceCatalogue.h"

// A measurement file carries no header: its device type is read from its name. Every test of the
// two detection passes asks whether the full path contains "<DeviceTypeName>." (case as written);
// all tests run in order and the last match decides. Without a match the current DeviceCode stays.
int DetectDeviceCode(const QString& path, int currentDeviceCode);

// What opening a file sets for a DeviceCode: the catalogue row with the record length a file of it
// opens with. Nothing for an unknown code.
std::optional<DeviceType> LookUpOpenDeviceType(int deviceCode);
