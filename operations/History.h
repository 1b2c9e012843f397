#pragma once

#include <QDate>

#include "archive/ArchiveStore.h"
#include "core/Environment.h"
#include "core/SharedState.h"
#include "views/WindowModel.h"

// "Előzmények...": the archived lines of `device` from the start of `from` to the end of `to` become
// LogRecords and are drawn as a readout of that device is (RenderViews), so "Mentés" saves the period as a
// measurement file. Status panel 2 says "Előzmények: <device> <from> – <to>, N rekord". Returns N.
int ShowArchivedHistory(SharedState& state, WindowModel& view, const Environment& env, ArchiveStore& store,
                        const ArchivedDevice& device, const QDate& from, const QDate& to);
