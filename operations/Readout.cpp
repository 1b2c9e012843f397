#include "operations/Readout.h"

#include <QScopeGuard>

#include "files/MeasurementFile.h"
#include "operations/Presenter.h"
#include "operations/ReadoutArchive.h"
#include "views/RenderViews.h"

ReadoutResult ReadDeviceLog(SharedState& state, WindowModel& view, DeviceLink& link, const Environment& env,
                            const QString& host,
                            const std::function<void(int block, int blockCount)>& progress) {
  ReadoutResult result;
  {
    const auto present = qScopeGuard([&] { PresentReadout(result, view); });
    ReadLog(state, link, env.systemDecimalSeparator, host, result, progress);
  }
  if (!result.deviceFound()) return result;
  RenderViews(state, view, env);
  result.measurementFile = SaveAutomaticMeasurementFile(state, env);
  ArchiveReadoutLog(state, link, env, result);
  return result;
}
