#pragma once

#include <QStringList>

#include "core/Environment.h"
#include "core/SharedState.h"
#include "link/DeviceLink.h"
#include "views/WindowModel.h"

// The marker file whose presence in the program folder shows the developer page.
inline constexpr char DeveloperMarkerFileName[] = "Tool7.dev";

// Reads cfg.ini from the program folder into SettingsLines and applies it (see ApplySettings).
// A missing or unreadable file throws before anything is applied.
QStringList LoadAndApplySettings(SharedState& state, WindowModel& view, DeviceLink& link,
                                 const Environment& env);

// Applies SettingsLines (ReadSettingsValues) in their fixed order: UDP port (and status panel 5), window
// edges and size, the five addresses, the decimal separator, the memory address, then per chart its
// axis positions, the step and the axis limits. A value that is not a number throws and ends the apply
// at that key; the keys before it stay applied. An absent key leaves its control as it is. Returns what
// the user is told about settings not taken as written.
QStringList ApplySettings(SharedState& state, WindowModel& view, DeviceLink& link, const Environment& env);

// The keys the save timer writes, from the window: addresses, memory address, axis positions and the
// step.
void StoreTimerSettings(SharedState& state, const WindowModel& view);

// The keys the close step writes: the window's edges and outer size.
void StoreGeometrySettings(SharedState& state, const WindowModel& view);

// The main window's creation step: the four lists created anew, cfg.ini read and applied, the device
// name reset, the developer page shown only with the marker file. A failure (cfg.ini missing, a value
// that is not a number) throws and ends the step there, as far as it got. Returns what the user is told
// about settings that were not taken as written (see ApplySettings).
QStringList RunCreationStep(SharedState& state, WindowModel& view, DeviceLink& link, const Environment& env);
