#include "files/TypeDetection.h"

#include <vector>

namespace {

// Whether the path holds the type name followed by a dot.
bool NamesType(const QString& path, const char* name) {
  const QLatin1StringView typeName(name);
  for (qsizetype at = path.indexOf(typeName); at >= 0; at = path.indexOf(typeName, at + 1)) {
    const qsizetype after = at + typeName.size();
    if (after < path.size() && path[after] == u'.') return true;
  }
  return false;
}

// The rows in test order: the first pass, then the second, each in code order.
const std::vector<const DeviceType*>& TestedTypes() {
  static const std::vector<const DeviceType*> types = [] {
    std::vector<const DeviceType*> tested;
    for (const DetectionPass pass : {DetectionPass::First, DetectionPass::Second}) {
      for (const DeviceType& row : DeviceTypeTable()) {
        if (row.pass == pass) tested.push_back(&row);
      }
    }
    return tested;
  }();
  return types;
}

}  // namespace

int DetectDeviceCode(const QString& path, int currentDeviceCode) {
  int code = currentDeviceCode;
  for (const DeviceType* tested : TestedTypes()) {
    if (NamesType(path, tested->name)) code = tested->code;
  }
  return code;
}

std::optional<DeviceType> LookUpOpenDeviceType(int deviceCode) {
  std::optional<DeviceType> type = LookUpDeviceType(deviceCode);
  if (type) type->recordLength = type->OpenRecordLength();
  return type;
}
