#include "files/MeasurementFileOpen.h"

#include "files/TypeDetection.h"
#include "views/RenderViews.h"

void OpenMeasurementFile(SharedState& state, WindowModel& view, const Environment& env, const QString& path) {
  const QByteArray content = ReadWholeFile(path);
  state.LogLines.SetText(content);
  state.DeviceCode = DetectDeviceCode(path, state.DeviceCode);
  const std::optional<DeviceType> type = LookUpOpenDeviceType(state.DeviceCode);
  if (!type) {
    view.labelDevice = "No device";
    return;
  }
  state.RecordLength = type->recordLength;
  view.labelDevice = type->name;
  view.memo2 = state.LogLines.Text();
  RenderViews(state, view, env);
}
