#pragma once

#include <QByteArray>
#include <QList>
#include <QTimeZone>
#include <array>
#include <optional>
#include <vector>

#include "core/LogRecord.h"

// A record as the archive keeps it: its local time stamp and the same moment in UTC at the site's time
// zone, each as seconds since 1970 (the local one as read on the device's clock), its values as numbers
// per channel, and how its measurement line is written again from them.
struct ArchivedLine {
  static constexpr int ChannelCount = 16;  // the longest record holds 16 value fields
  // Channel n is the record's n-th value; nothing for a missing or unreadable value or a channel the
  // record lacks.
  using Values = std::array<std::optional<double>, ChannelCount>;

  QByteArray line;
  qint64 time = 0;
  qint64 timeUtc = 0;
  bool secondPass = false;  // the second time through the hour repeated when daylight saving time ends
  bool skipped = false;     // a local time that the clock skips when daylight saving time starts
  // The form that writes the line again from the time and values (LineForm.h); nothing when none
  // gives its bytes, and the archive keeps the line itself.
  std::optional<int> lineForm;
  Values values;

  // The site's offset from UTC as the archive keeps it.
  int UtcOffsetMinutes() const { return int((time - timeUtc) / 60); }
};

// The channels up to the last one that holds a value in any of the records: the ones after it stay
// NULL without being bound.
int ChannelsInUse(const std::vector<const ArchivedLine*>& records);

// A readout's records as the archive keeps them. Preparing them needs no connection to the archive: a
// writer has it done on the thread that hands the readout over, while its own merges another.
struct ArchivedLines {
  std::vector<ArchivedLine> records;
  int withoutTime = 0;     // records whose time stamp is no valid date and time: left out
  int inEarlierImage = 0;  // records left out as the device's earlier image held them
};

// The records of a log in ring order (the order the device wrote them), `lines` their measurement
// lines one for one, with UTC times at `zone`. `inEarlierImage` flags the records the device's earlier
// image held (RecordsInEarlierImage), one for one, or is empty: those are left out (the archive took them
// with that image), but in the hour repeated when daylight saving time ends, where a record's pass
// follows the records before it.
ArchivedLines ArchiveRecords(const RecordLog& log, const QList<QByteArray>& lines, const QTimeZone& zone,
                             const std::vector<bool>& inEarlierImage = {});

// Measurement lines (in the order they were written) read back into records first: "." or "," in
// their values.
ArchivedLines ReadArchivedLines(const QList<QByteArray>& lines, const QTimeZone& zone);

// Whether two records hold the same values as numbers, whatever the text they were read from: one record
// of a device at one local time and pass when they do. A zero's sign counts, as a relay event's does.
bool SameValues(const ArchivedLine::Values& a, const ArchivedLine::Values& b);

// What tells one archived record of a device from another, as a hash key: its local time, its pass and
// its values as numbers.
QByteArray RecordKeyOf(qint64 time, bool secondPass, const ArchivedLine::Values& values);

// Values as the archive's columns give them back, whose zeros have lost their sign on SQLite, with the
// signs that their kept line (if any: a line with "-0" is always kept) gives.
void TakeZeroSigns(ArchivedLine::Values& values, const QByteArray& keptLine);

// The order of the archive's key: local time, then pass.
bool RecordKeyLess(const ArchivedLine& a, const ArchivedLine& b);

// SQL time text of seconds since 1970 ("2024-03-01 14:05:00"), and back; nothing for another text.
QByteArray SqlTimeOfSeconds(qint64 seconds);
std::optional<qint64> SecondsOfSqlTime(const QString& text);

// "2024-03-01 14:05:00" for a user's "2024-03-01" or "2024-03-01 14:05"; `endOfDay` makes a bare date
// mean its last second. Nothing for any other text.
std::optional<QByteArray> ArchiveTimeFromText(const QString& text, bool endOfDay);
