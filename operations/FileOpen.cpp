#include "operations/FileOpen.h"

#include "core/TextLines.h"
#include "files/MeasurementFileLoad.h"
#include "operations/Presenter.h"
#include "views/RenderViews.h"

void OpenMeasurementFile(SharedState& state, WindowModel& view, const Environment& env, const QString& path) {
  OpenMeasurementContent(state, view, env, path, ReadWholeFile(path));
}

void OpenMeasurementContent(SharedState& state, WindowModel& view, const Environment& env,
                            const QString& path, const QByteArray& content) {
  const LoadedMeasurementFile loaded = LoadMeasurementFile(state, path, content);
  PresentLoadedFile(loaded, view);
  if (loaded.deviceType) RenderViews(state, view, env);
}
