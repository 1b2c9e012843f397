#pragma once

#include <QByteArray>
#include <optional>

#include "archive/ArchivedLine.h"

// A record's measurement line is written again from its local time and values, as the line writer
// writes it, with a small number, its form: bit 0 set, each value with the fewest decimals that give
// it back ("21", "21.5"), else with one at least ("21.0", as the integer-and-fraction-byte fields
// give them); bit 1 set, "," as the decimal separator, else "."; the bits above, how many missing
// values ("--") follow the last value. The archive keeps the line's bytes only for a record that no
// form writes again: an unreadable column, an event's name, a time stamp written otherwise, more
// decimals than a form gives, more value columns than the archive has.

// The form that writes `record`'s line from its time and values as the archive gives them back, if
// one does.
std::optional<int> LineFormOf(const ArchivedLine& record);

// The line of the local time `time` and `values` in `form`; nothing for a value no form writes.
std::optional<QByteArray> LineOfForm(qint64 time, const ArchivedLine::Values& values, int form);
