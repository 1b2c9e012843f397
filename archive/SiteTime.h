#pragma once

#include <QTimeZone>
#include <QtGlobal>
#include <span>
#include <vector>

#include "core/LogRecord.h"

// Where a device's local time stamp lies on the UTC time line, at the site's time zone.
struct SiteTime {
  qint64 utc = 0;           // seconds since 1970-01-01 00:00 UTC
  bool secondPass = false;  // the second time through the hour repeated when daylight saving time ends
  bool repeated = false;  // a local time of that hour, first or second pass: its pass follows its neighbours
  // A local time that the clock skips when daylight saving time starts: `utc` takes the offset in force
  // before the change, as a device clock that was not put forward would mean it.
  bool skipped = false;
};

// A wall clock reading ("2024-10-27 02:30") as seconds since 1970-01-01 00:00 as if it were UTC.
qint64 LocalSeconds(int year, int month, int day, int hour, int minute);
// The wall clock reading of such seconds, to the minute.
RecordTime LocalTimeStamp(qint64 localSeconds);

// The UTC times of a device's local time stamps, given in ring order (the order the device wrote them).
// In the repeated hour the clock going back marks the second pass: from the record whose time is
// earlier than the one before it, up to the first record outside that hour.
std::vector<SiteTime> SiteTimesInRingOrder(std::span<const qint64> localTimes, const QTimeZone& zone);

// The time zone a setting names (an IANA name such as "Europe/Budapest"); the system's for an empty
// setting. Throws ValdError for a name the system's time zone database does not know.
QTimeZone SiteTimeZone(const QString& setting);
