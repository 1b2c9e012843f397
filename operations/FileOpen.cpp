#include "operations/FileOpen.h"

#include "files/MeasurementFileLoad.h"
#include "operations/Presenter.h"
#include "views/RenderViews.h"

void OpenMeasurementFile(SharedState& state, WindowModel& view, const Environment& env, const QString& path) {
  const LoadedMeasurementFile loaded = LoadMeasurementFile(state, path);
  PresentLoadedFile(loaded, view);
  if (loaded.deviceType) RenderViews(state, view, env);
}
