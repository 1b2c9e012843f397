#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

#include "core/Environment.h"
#include "core/SharedState.h"

// cfg.ini keys of the five address edits and of the four charts' axis controls, in control order.
inline constexpr std::array<const char*, 5> AddressKeys = {"ip1", "ip2", "ip3", "ip4", "ip5"};
inline constexpr std::array<const char*, 4> AxisMaximumKeys = {"Top1", "Top2", "Top3", "Top4"};
inline constexpr std::array<const char*, 4> AxisMinimumKeys = {"Bottom1", "Bottom2", "Bottom3", "Bottom4"};

// The axis keys of one chart.
struct AxisSettings {
  std::optional<int> top;
  std::optional<int> bottom;
  std::optional<int> increment;  // at least 1
  bool complete = false;         // all three keys were read (an absent key is read too)
};

// What cfg.ini says, read in the fixed order: UDP port, window edges and size, the five addresses, the
// decimal separator, the memory address, then per chart its axis positions and the step. An absent key
// gives nothing. A value that is not a number ends the reading at that key, with `error` saying why:
// the values before it are there.
struct SettingsValues {
  std::optional<int> udpPort;  // 1 .. 65535
  bool portRead = false;
  std::optional<int> left;
  std::optional<int> top;
  std::optional<int> width;
  std::optional<int> height;
  std::array<std::optional<QByteArray>, 5> addresses;
  // The separator the decoded values are written with: the setting, or the system's when the setting
  // is absent, empty or would break the measurement files (see IsUsableDecimalSeparator). Nothing when
  // the reading ended before it.
  std::optional<QByteArray> decimalSeparatorText;
  std::optional<QByteArray> eeAddr;
  std::array<AxisSettings, 4> axes;
  QStringList notices;  // what the user is told about settings not taken as written
  QString error;

  bool Failed() const { return !error.isEmpty(); }
};

// Reads the settings lines. Window edges and sizes are kept within a range that no screen reaches but
// that keeps the window's edge arithmetic clear of integer overflow.
SettingsValues ReadSettingsValues(const TextLines& settings, const QByteArray& currentDecimalSeparatorText,
                                  char systemDecimalSeparator);

// What the save timer writes: addresses, memory address, axis positions and the step.
struct TimerSettings {
  std::array<QByteArray, 5> addresses;
  QByteArray eeAddr;
  std::array<int, 4> axisMaxima{};
  std::array<int, 4> axisMinima{};
  int increment = 1;
};
void StoreTimerSettings(TextLines& settings, const TimerSettings& values);

// What the close step writes: the window's edges and outer size.
void StoreGeometrySettings(TextLines& settings, int left, int top, int width, int height);

// Reads cfg.ini from the program folder into SettingsLines. A byte-order mark at the start is left out.
// A missing or unreadable file, a file larger than MaxEditedFileBytes, or a line that holds a NUL byte or
// is too long (see CheckEditedLines), throws; after a refused line SettingsLines holds the file's lines.
void LoadSettingsFile(SharedState& state, const Environment& env);

// Writes SettingsLines to cfg.ini in the program folder, whole or not at all; a cfg.ini larger than
// MaxEditedFileBytes, refused at start, is left as it is.
void SaveSettingsFile(const SharedState& state, const Environment& env);
