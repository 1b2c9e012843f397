#pragma once

#include <QDateTime>
#include <QString>
#include <QTimeZone>
#include <span>
#include <vector>

#include "core/LogRecord.h"
#include "decode/DeviceCatalogue.h"
#include "watch/LimitRules.h"

enum class LimitSide { Low, High };

// What an alarm is about: a channel beyond its limit, a device that went silent, a device's clock.
enum class AlarmKind { Limit, Silent, Clock };

// One alarm: an unbroken run of records of an excursion of one channel beyond one of its limits, from
// its first record beyond the limit to its last one. Values are in the quantity's unit (the logged number
// times its scale).
struct Alarm {
  int column = 0;  // value column, from 0
  LimitSide side = LimitSide::High;
  double limit = 0;  // the limit that was passed
  RecordTime start;  // the first and the last record of the run
  RecordTime end;
  int records = 0;
  double extreme = 0;  // the lowest value of a run below the low limit, the highest above the high one
  bool open = false;   // no record back inside the limit has ended its excursion by the end of the log

  bool operator==(const Alarm&) const = default;
};

// The alarms of a log whose records are in time order (as a readout or an opened file has them), each
// channel checked against its limit in `limits` (one per value column of `type`; a missing entry is no
// limit). An excursion starts with a record beyond the limit and goes on while the values stay beyond it
// or within its hysteresis of it; the first record back inside the limit by the hysteresis ends it. It is
// an alarm once it has lasted the limit's delay, counted from its first record beyond the limit to its
// last one, so a single record beyond lasts no time. A run goes on over the ring's turn, where the newest
// records of the last pass follow the oldest ones, since only the time order counts. A missing or
// unreadable value, a record without the column, or records lost with a block that did not arrive end a
// run: the log has a gap there. A gap does not end the excursion, though: the time across it does not
// count toward the delay, and after it the excursion goes on, as a new run, until a record back inside
// ends it. Alarms come ordered by their start, then by column.
std::vector<Alarm> FindAlarms(const RecordLog& log, const DeviceType& type,
                              std::span<const ChannelLimit> limits);

// A value of a record in its quantity's unit, or nothing for a value that is no number.
std::optional<double> ValueInUnit(const RecordValue& value, const Quantity& quantity);

// "yyyy-MM-dd hh:mm" of a record's time stamp.
QString RecordTimeText(const RecordTime& time);

// A record's time stamp as a time of the device's time zone; invalid for no valid date and time.
QDateTime RecordDateTime(const RecordTime& time, const QTimeZone& zone);

// A record's time stamp in ISO 8601 with the zone's offset then: "2024-03-01T13:40:00+01:00"; the
// time stamp as RecordTimeText writes it when it is no valid date and time.
QString RecordTimeIso(const RecordTime& time, const QTimeZone& zone);

// "limit", "silent" or "clock".
const char* AlarmKindKey(AlarmKind kind);

// "low" or "high".
const char* LimitSideKey(LimitSide side);
