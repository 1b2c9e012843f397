#include "files/TypeDetection.h"
#include "fuzz/FuzzInput.h"
#include "fuzz/FuzzTargets.h"
#include "fuzz/RenderedViews.h"

// "Megnyitás" after the file is read: the content becomes LogLines, the device type named by the file
// decides the layout, and the views draw the lines.
void FuzzMeasurementFile(std::span<const uint8_t> data) {
  FuzzInput input(data);
  SharedState state;
  WindowModel view;
  Environment env;
  const int deviceCode = input.TakeByte();
  state.ChipCode = input.TakeByte();
  env.systemDecimalSeparator = (input.TakeByte() & 1) != 0 ? ',' : '.';
  const QByteArray content = input.RestAsText();

  state.LogLines.SetText(content);
  // Saving the lines and opening the file again must give the same lines.
  TextLines reopened;
  reopened.SetText(state.LogLines.Text());
  FUZZ_REQUIRE(reopened == state.LogLines);

  const std::optional<DeviceType> type = LookUpOpenDeviceType(deviceCode);
  if (!type) return;
  state.DeviceCode = deviceCode;
  state.RecordLength = type->recordLength;
  view.labelDevice = type->name;
  view.memo2 = state.LogLines.Text();
  RenderAndCheckViews(state, view, env);
}
