#pragma once

#include <QString>

// The one line a command-line program prints for a command line it cannot use: the program, what is
// wrong, and where the whole usage is ("vald_read: Unknown option 'x'; see vald_read --help"). The help
// text itself would bury the reason.
QString UsageErrorLine(const QString& program, const QString& error);
