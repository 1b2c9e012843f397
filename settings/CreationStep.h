#pragma once

#include <QStringList>

#include "core/Environment.h"
#include "core/SharedState.h"
#include "link/DeviceLink.h"
#include "views/WindowModel.h"

// The marker file whose presence in the program folder shows the developer page.
inline constexpr char DeveloperMarkerFileName[] = "Tool7.dev";

// The main window's creation step: the four lists created anew, cfg.ini read and applied, the device
// name reset, the developer page shown only with the marker file. A failure (cfg.ini missing, a value
// that is not a number) throws and ends the step there, as far as it got. Returns what the user is told
// about settings that were not taken as written (see ApplySettings).
QStringList RunCreationStep(SharedState& state, WindowModel& view, DeviceLink& link, const Environment& env);
