#pragma once

#include <QStringList>
#include <array>

#include "core/Environment.h"
#include "core/SharedState.h"
#include "link/DeviceLink.h"
#include "views/WindowModel.h"

// cfg.ini keys of the five address edits and of the four charts' axis controls, in control order.
inline constexpr std::array<const char*, 5> AddressKeys = {"ip1", "ip2", "ip3", "ip4", "ip5"};
inline constexpr std::array<const char*, 4> AxisMaximumKeys = {"Top1", "Top2", "Top3", "Top4"};
inline constexpr std::array<const char*, 4> AxisMinimumKeys = {"Bottom1", "Bottom2", "Bottom3", "Bottom4"};

// Reads cfg.ini from the program folder into SettingsLines and applies it (see ApplySettings). A
// byte-order mark at the start is left out. A missing or unreadable file, or a line that holds a NUL
// byte or is too long (see CheckEditedLines), throws before anything is applied; after a refused line
// SettingsLines holds the file's lines.
QStringList LoadAndApplySettings(SharedState& state, WindowModel& view, DeviceLink& link,
                                 const Environment& env);

// Applies SettingsLines in the fixed order: UDP port (and status panel 5), window edges and size, the
// five addresses, the decimal separator, the memory address, then per chart its axis positions, the
// step and the axis limits. A value that is not a number throws and ends the apply at that key; the
// keys before it stay applied. An absent key leaves its control as it is.
//
// A DecimalSeparator that would break the measurement files (see IsUsableDecimalSeparator) is not
// applied: the system's separator is used instead. Returns what the user is told about such settings.
QStringList ApplySettings(SharedState& state, WindowModel& view, DeviceLink& link, const Environment& env);

// The keys the save timer writes: addresses, memory address, axis positions and the step.
void StoreTimerSettings(SharedState& state, const WindowModel& view);

// The keys the close step writes: the window's edges and outer size.
void StoreGeometrySettings(SharedState& state, const WindowModel& view);

// Writes SettingsLines to cfg.ini in the program folder, whole or not at all.
void SaveSettingsFile(const SharedState& state, const Environment& env);
