#pragma once

#include <QString>

#include "core/Environment.h"
#include "core/SharedState.h"
#include "views/WindowModel.h"

// "Megnyitás": reads a measurement file whole and opens its content (OpenMeasurementContent). When the read
// fails, ValdError names the file and the reason and nothing has changed.
void OpenMeasurementFile(SharedState& state, WindowModel& view, const Environment& env, const QString& path);

// What "Megnyitás" does with the content read from `path`: loads it into LogRecords (LoadMeasurementFile)
// and draws it as if just read out. For a known device type the "Adatok" page shows its lines and
// RenderViews runs (its errors propagate, with LogRecords already holding the file); an unknown type shows
// "No device" and everything else stays as it was. The "Data" page is never touched.
void OpenMeasurementContent(SharedState& state, WindowModel& view, const Environment& env,
                            const QString& path, const QByteArray& content);
