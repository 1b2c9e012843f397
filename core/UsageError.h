#pragma once

#include <QString>

// The one line a command-line program prints for a command line it cannot use: what is wrong, then
// where the whole usage is ("Unknown option 'x'. See vald_read --help."). The help text itself would
// bury the reason.
QString UsageErrorLine(const QString& program, const QString& error);
