#pragma once

#include <QByteArray>
#include <QList>
#include <array>
#include <optional>
#include <vector>

// A measurement line as the archive keeps it: the line's own bytes, its time stamp as SQL text
// ("2024-03-01 14:05:00", which sorts in time order) and its values as numbers per channel.
struct ArchivedLine {
  static constexpr int ChannelCount = 16;  // the longest record holds 16 value fields

  QByteArray line;
  QByteArray time;
  // Channel n is the line's n-th value; nothing for "--", a text value or a channel the line lacks.
  std::array<std::optional<double>, ChannelCount> values;
};

// Reads "yyyy;mm;dd;hh;nn;value;...;" with `decimalSeparator` (or ".") in the values. A line whose
// first five fields are no valid local date and time has no place in time: nothing.
std::optional<ArchivedLine> ReadArchivedLine(const QByteArray& line, char decimalSeparator);

// A readout's lines read as the archive keeps them. Reading needs no connection to the archive: a
// writer has it done on the thread that hands the readout over, while its own merges another.
struct ArchivedLines {
  std::vector<ArchivedLine> records;
  int withoutTime = 0;  // lines whose time stamp is no valid date and time: left out
};

ArchivedLines ReadArchivedLines(const QList<QByteArray>& lines, char decimalSeparator);

// "2024-03-01 14:05:00" for a user's "2024-03-01" or "2024-03-01 14:05"; `endOfDay` makes a bare date
// mean its last second. Nothing for any other text.
std::optional<QByteArray> ArchiveTimeFromText(const QString& text, bool endOfDay);
