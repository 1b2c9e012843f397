#pragma once

#include <QByteArray>
#include <QList>
#include <QTimeZone>
#include <array>
#include <optional>
#include <vector>

#include "core/LogRecord.h"

// A record as the archive keeps it: its time stamp as SQL text, local ("2024-03-01 14:05:00", which
// sorts in time order) and UTC at the site's time zone, its values as numbers per channel, and the
// measurement line it was first archived as.
struct ArchivedLine {
  static constexpr int ChannelCount = 16;  // the longest record holds 16 value fields

  QByteArray line;
  QByteArray time;
  QByteArray timeUtc;
  bool secondPass = false;  // the second time through the hour repeated when daylight saving time ends
  bool skipped = false;     // a local time that the clock skips when daylight saving time starts
  // The values as numbers in one text, whatever the decimal separator of the line: with the device and
  // the local time (and pass) the key that keeps a record from being archived twice.
  QByteArray valueKey;
  // Channel n is the record's n-th value; nothing for a missing or unreadable value or a channel the
  // record lacks.
  std::array<std::optional<double>, ChannelCount> values;
};

// The channels up to the last one that holds a value in any of the records: the ones after it stay
// NULL without being bound.
int ChannelsInUse(const std::vector<const ArchivedLine*>& records);

// A readout's records as the archive keeps them. Preparing them needs no connection to the archive: a
// writer has it done on the thread that hands the readout over, while its own merges another.
struct ArchivedLines {
  std::vector<ArchivedLine> records;
  int withoutTime = 0;  // records whose time stamp is no valid date and time: left out
};

// The records of a log in ring order (the order the device wrote them), `lines` their measurement
// lines one for one, with UTC times at `zone`.
ArchivedLines ArchiveRecords(const RecordLog& log, const QList<QByteArray>& lines, const QTimeZone& zone);

// Measurement lines (in the order they were written) read back into records first: "." or "," in
// their values.
ArchivedLines ReadArchivedLines(const QList<QByteArray>& lines, const QTimeZone& zone);

// What tells one archived record of a device from another: its local time, its pass and its values.
QByteArray RecordKeyOf(const QByteArray& time, bool secondPass, const QByteArray& valueKey);
QByteArray RecordKeyOf(const ArchivedLine& line);

// The order of the archive's key: local time, pass, values.
bool RecordKeyLess(const ArchivedLine& a, const ArchivedLine& b);

// The value key of values read back from the archive as numbers: the same text the record's values
// gave when they were merged.
QByteArray ValueKeyOf(const std::array<std::optional<double>, ArchivedLine::ChannelCount>& values);

// SQL time text of seconds since 1970 ("2024-03-01 14:05:00"), and back; nothing for another text.
QByteArray SqlTimeOfSeconds(qint64 seconds);
std::optional<qint64> SecondsOfSqlTime(const QString& text);

// "2024-03-01 14:05:00" for a user's "2024-03-01" or "2024-03-01 14:05"; `endOfDay` makes a bare date
// mean its last second. Nothing for any other text.
std::optional<QByteArray> ArchiveTimeFromText(const QString& text, bool endOfDay);
