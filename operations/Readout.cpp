#include "operations/Readout.h"

#include "core/ValdError.h"
#include "files/MeasurementFile.h"
#include "operations/Presenter.h"
#include "operations/ReadoutArchive.h"
#include "views/RenderViews.h"

namespace {

// The whole log goes to disk: the automatic measurement file (unless the run writes none), then the
// archive.
void KeepReadout(SharedState& state, DeviceLink& link, const Environment& env, ReadoutResult& result,
                 ArchiveWriter* archiveWriter) {
  if (env.writeMeasurementFiles) result.measurementFile = SaveAutomaticMeasurementFile(state, env);
  ArchiveReadoutLog(state, link, env, result, archiveWriter);
}

}  // namespace

ReadoutResult ReadDeviceLog(SharedState& state, WindowModel& view, DeviceLink& link, const Environment& env,
                            const QString& host,
                            const std::function<void(int block, int blockCount)>& progress) {
  ReadoutResult result;
  ReadDeviceLog(state, view, link, env, host, result, progress);
  return result;
}

void ReadDeviceLog(SharedState& state, WindowModel& view, DeviceLink& link, const Environment& env,
                   const QString& host, ReadoutResult& result,
                   const std::function<void(int block, int blockCount)>& progress,
                   ArchiveWriter* archiveWriter) {
  try {
    ReadLog(state, link, env.systemDecimalSeparator, host, result, progress);
  } catch (...) {
    PresentReadout(result, view);
    throw;
  }
  ShowReadout(state, view, link, env, result, archiveWriter);
}

void ShowReadout(SharedState& state, WindowModel& view, DeviceLink& link, const Environment& env,
                 ReadoutResult& result, ArchiveWriter* archiveWriter) {
  PresentReadout(result, view);
  if (!result.deviceFound()) return;
  try {
    RenderViews(state, view, env);
  } catch (const ValdError&) {
    KeepReadout(state, link, env, result, archiveWriter);
    throw;
  }
  KeepReadout(state, link, env, result, archiveWriter);
}
