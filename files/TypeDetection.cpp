#include "files/TypeDetection.h"

#include <algorithm>
#include <array>
#include <span>
#include <vector>

namespace {

// The DeviceCodes whose type names the two passes test, each name taken from the device type table.
// The older record encodings first, then the newer ones, so a plain type name opens with the newer
// code; the order of the tests decides which code a name gives.
constexpr std::array<int, 23> FirstPass = {2,  3,  4,  5,  6,  7,  8,   9,   10,  11,  12, 13,
                                           14, 15, 16, 17, 18, 19, 102, 103, 104, 105, 106};

constexpr std::array<int, 36> SecondPass = {21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32,
                                            33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44,
                                            45, 46, 47, 48, 49, 50, 51, 52, 53, 54, 55, 56};

// Climate files open with RecordLength 8 rather than the readout's 14; after an open only the
// capacity display of the summary reads it.
constexpr std::array<int, 4> ShortRecordCodes = {43, 44, 104, 105};
constexpr int ShortRecordLength = 8;

// Whether the path holds the type name followed by a dot.
bool NamesType(const QString& path, const char* name) {
  const QLatin1StringView typeName(name);
  for (qsizetype at = path.indexOf(typeName); at >= 0; at = path.indexOf(typeName, at + 1)) {
    const qsizetype after = at + typeName.size();
    if (after < path.size() && path[after] == u'.') return true;
  }
  return false;
}

// The codes of both passes in test order, each with its type name; looked up in the device type table
// once, as every file opened tests them all.
struct TestedName {
  int code;
  const char* name;
};

const std::vector<TestedName>& TestedNames() {
  static const std::vector<TestedName> names = [] {
    std::vector<TestedName> tested;
    for (const auto& pass : {std::span<const int>(FirstPass), std::span<const int>(SecondPass)}) {
      for (const int code : pass) {
        if (const std::optional<DeviceType> type = LookUpDeviceType(code))
          tested.push_back({code, type->name});
      }
    }
    return tested;
  }();
  return names;
}

}  // namespace

int DetectDeviceCode(const QString& path, int currentDeviceCode) {
  int code = currentDeviceCode;
  for (const TestedName& tested : TestedNames()) {
    if (NamesType(path, tested.name)) code = tested.code;
  }
  return code;
}

std::optional<DeviceType> LookUpOpenDeviceType(int deviceCode) {
  std::optional<DeviceType> type = LookUpDeviceType(deviceCode);
  if (type && std::ranges::find(ShortRecordCodes, deviceCode) != ShortRecordCodes.end()) {
    type->recordLength = ShortRecordLength;
  }
  return type;
}
