#include "files/MeasurementFileLoad.h"

#include "core/TextLines.h"
#include "files/MeasurementLine.h"
#include "files/TypeDetection.h"

LoadedMeasurementFile LoadMeasurementFile(SharedState& state, const QString& path,
                                          const QByteArray& content) {
  TextLines lines;
  lines.SetText(content);
  state.LogRecords = ReadMeasurementLines(lines);
  state.DeviceCode = DetectDeviceCode(path, state.DeviceCode);
  LoadedMeasurementFile loaded;
  loaded.deviceType = LookUpOpenDeviceType(state.DeviceCode);
  if (!loaded.deviceType) return loaded;
  state.RecordLength = loaded.deviceType->recordLength;
  loaded.logText = lines.Text();
  return loaded;
}
