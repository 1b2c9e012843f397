#include "operations/Readout.h"

#include "files/MeasurementFile.h"
#include "operations/Presenter.h"
#include "views/RenderViews.h"

ReadoutResult ReadDeviceLog(SharedState& state, WindowModel& view, DeviceLink& link, const Environment& env,
                            const QString& host,
                            const std::function<void(int block, int blockCount)>& progress) {
  ReadoutResult result;
  try {
    ReadLog(state, link, env.systemDecimalSeparator, host, result, progress);
  } catch (...) {
    PresentReadout(result, view);
    throw;
  }
  ShowReadout(state, view, env, result);
  return result;
}

void ShowReadout(SharedState& state, WindowModel& view, const Environment& env, ReadoutResult& result) {
  PresentReadout(result, view);
  if (!result.deviceFound()) return;
  RenderViews(state, view, env);
  result.measurementFile = SaveAutomaticMeasurementFile(state, env);
}
