#include "core/ValdError.h"
#include "decode/DeviceCatalogue.h"
#include "files/MeasurementLine.h"
#include "files/TypeDetection.h"
#include "fuzz/FreshWindow.h"
#include "fuzz/FuzzInput.h"
#include "fuzz/FuzzTargets.h"
#include "fuzz/RenderedViews.h"
#include "operations/FileOpen.h"

namespace {

// The paths a file is opened from: a measurement file name without a type name, which leaves the
// DeviceCode of the last readout, then one with the type name of each row of the device type table.
const QString& FilePath(uint8_t choice) {
  static const QList<QString> paths = [] {
    QList<QString> names{QStringLiteral(" VALD.csv")};
    for (const DeviceType& type : DeviceTypeTable())
      names.append(QLatin1StringView(MeasurementFileSuffix(type)));
    for (QString& name : names) name.prepend(QStringLiteral("/meresek/24.03.05 09.30"));
    return names;
  }();
  return paths[choice % paths.size()];
}

}  // namespace

// "Megnyitás" after the file is read: the content becomes LogRecords, the device type named by the file
// (or the one a readout left) decides the layout, and the views draw the lines.
void FuzzMeasurementFile(std::span<const uint8_t> data) {
  FuzzInput input(data);
  SharedState state;
  WindowModel view = FreshWindow();
  Environment env;
  state.DeviceCode = input.TakeByte();
  state.ChipCode = input.TakeByte();
  const uint8_t choices = input.TakeByte();
  env.systemDecimalSeparator = (choices & 1) != 0 ? ',' : '.';
  const QString& path = FilePath(choices >> 1);
  const QByteArray content = input.RestAsText();

  bool rendered = true;
  try {
    OpenMeasurementContent(state, view, env, path, content);
  } catch (const ValdError&) {
    rendered = false;
  }
  // Saving the lines and opening the file again must give the same lines.
  const TextLines lines = ShownMeasurementLines(state, env.systemDecimalSeparator);
  TextLines reopened;
  reopened.SetText(lines.Text());
  FUZZ_REQUIRE(reopened == lines);

  if (rendered && LookUpOpenDeviceType(state.DeviceCode)) RequireRenderedViews(state, view);
}
