#include "operations/Readout.h"

#include <QScopeGuard>

#include "core/ValdError.h"
#include "files/MeasurementFile.h"
#include "operations/Presenter.h"
#include "views/RenderViews.h"

ReadoutResult ReadDeviceLog(SharedState& state, WindowModel& view, DeviceLink& link, const Environment& env,
                            const QString& host,
                            const std::function<void(int block, int blockCount)>& progress) {
  ReadoutResult result;
  ReadDeviceLog(state, view, link, env, host, result, progress);
  return result;
}

void ReadDeviceLog(SharedState& state, WindowModel& view, DeviceLink& link, const Environment& env,
                   const QString& host, ReadoutResult& result,
                   const std::function<void(int block, int blockCount)>& progress) {
  {
    const auto present = qScopeGuard([&] { PresentReadout(result, view); });
    ReadLog(state, link, env.systemDecimalSeparator, host, result, progress);
  }
  if (!result.deviceFound()) return;
  try {
    RenderViews(state, view, env);
  } catch (const ValdError&) {
    result.measurementFile = SaveAutomaticMeasurementFile(state, env);
    throw;
  }
  result.measurementFile = SaveAutomaticMeasurementFile(state, env);
}
