#include "operations/FileOpen.h"

#include "core/BoundedFile.h"
#include "files/MeasurementFile.h"
#include "files/MeasurementFileLoad.h"
#include "operations/Presenter.h"
#include "views/RenderViews.h"

void OpenMeasurementFile(SharedState& state, WindowModel& view, const Environment& env, const QString& path) {
  OpenMeasurementContent(state, view, env, path, ReadTextFile(path, MaxMeasurementFileBytes));
}

void OpenMeasurementContent(SharedState& state, WindowModel& view, const Environment& env,
                            const QString& path, const QByteArray& content) {
  const LoadedMeasurementFile loaded = LoadMeasurementFile(state, path, content);
  PresentLoadedFile(loaded, view);
  if (loaded.deviceType) RenderViews(state, view, env);
}
