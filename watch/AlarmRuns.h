#pragma once

#include <QString>
#include <span>
#include <vector>

#include "core/LogRecord.h"
#include "decode/DeviceCatalogue.h"
#include "watch/LimitRules.h"

enum class LimitSide { Low, High };

// One alarm: an unbroken run of records whose value in one channel lies beyond one of its limits.
// Values are in the quantity's unit (the logged number times its scale).
struct Alarm {
  int column = 0;  // value column, from 0
  LimitSide side = LimitSide::High;
  double limit = 0;  // the limit that was passed
  RecordTime start;  // the first and the last record of the run
  RecordTime end;
  int records = 0;
  double extreme = 0;  // the lowest value of a run below the low limit, the highest above the high one

  bool operator==(const Alarm&) const = default;
};

// The alarms of a log whose records are in time order (as a readout or an opened file has them), each
// channel checked against its limit in `limits` (one per value column of `type`; a missing entry is no
// limit). A run goes on over the ring's turn, where the newest records of the last pass follow the
// oldest ones, since only the time order counts. A missing or unreadable value, or a record without the
// column, ends a run: the log has a gap there. Alarms come ordered by their start, then by column.
std::vector<Alarm> FindAlarms(const RecordLog& log, const DeviceType& type,
                              std::span<const ChannelLimit> limits);

// A value of a record in its quantity's unit, or nothing for a value that is no number.
std::optional<double> ValueInUnit(const RecordValue& value, const Quantity& quantity);

// "yyyy-MM-dd hh:mm" of a record's time stamp.
QString RecordTimeText(const RecordTime& time);

// "low" or "high".
const char* LimitSideKey(LimitSide side);
