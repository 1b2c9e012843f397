#pragma once

#include <QTextStream>

// Whether everything written to standard output through `out` reached it, the last flush included: a
// full disk or a closed pipe shows only there, and a command that printed nothing has not succeeded.
bool StandardOutputComplete(QTextStream& out);
