#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <optional>

#include "core/TextLines.h"

// Key access to cfg.ini held in memory. A key (which holds no "=") names the first line whose part before
// the first "=" equals it, ignoring letter case; the value is everything after that "=", blanks included.

// The index of the key's line (from 0), -1 when the key has no line.
int SettingLineIndex(const TextLines& settings, QByteArrayView key);

// The value of a key, or nothing when the key has no line or an empty value.
std::optional<QByteArray> ReadSetting(const TextLines& settings, QByteArrayView key);

// The first line of the key becomes key=value in its place; a key without a line is appended; an
// empty value deletes the key's line.
void WriteSetting(TextLines& settings, QByteArrayView key, const QByteArray& value);

// The integer value of a key (decimal, or hexadecimal with "$"), nothing when absent. A value that is
// not a number throws.
std::optional<int> ReadIntegerSetting(const TextLines& settings, QByteArrayView key);

inline constexpr char SettingsFileName[] = "cfg.ini";
