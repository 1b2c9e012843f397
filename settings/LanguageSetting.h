#pragma once

#include <QString>

// The window's language: cfg.ini's "Language" key ("en"), read before any window exists. Empty when the
// file or the key is missing: the window is Hungarian.
QString LanguageSetting(const QString& programFolder);
