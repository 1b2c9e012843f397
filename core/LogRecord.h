#pragma once

#include <QByteArray>
#include <cmath>
#include <compare>
#include <cstdint>
#include <span>
#include <vector>

// One value of a log record: a number as the device gave it, with the digits it has after the
// decimal separator, or a mark that there is none.
struct RecordValue {
  enum class Kind : uint8_t {
    Missing,     // the device's missing-value mark, written "--"
    Number,      // a measured or counted value
    Event,       // an event code; its name follows it in a measurement line
    Unreadable,  // a column of an opened file that is no number
  };

  double number = 0;  // carries the sign of a negative zero ("-0;128;" of a relay event field)
  Kind kind = Kind::Missing;
  uint8_t decimals = 0;  // digits after the separator ("20,0" has one)
  // Integer byte and fraction byte of the oldest field encoding: written with the DecimalSeparator
  // setting, every other value with the system's separator.
  bool byteFraction = false;
  uint8_t eventCode = 0;  // the event's byte, which names it

  bool IsNumber() const { return kind == Kind::Number || kind == Kind::Event; }
  bool IsNegative() const { return std::signbit(number); }
};

// The time stamp of a record as the device wrote it; a year byte counts from 2000.
struct RecordTime {
  uint16_t year = 0;  // 2000 + the year byte, or 0 for a zero byte
  uint8_t month = 0;
  uint8_t day = 0;
  uint8_t hour = 0;
  uint8_t minute = 0;

  // Time stamps compare by year, month, day, hour and minute, in that order.
  auto operator<=>(const RecordTime&) const = default;
};

// One log record: its kind letter, time stamp and values. A record cut short by the end of the log
// holds only the columns its bytes gave: `timeCount` of the five time columns, then `valueCount`
// values. Its values lie in the value list of the log it belongs to, from `firstValue` on.
struct LogRecord {
  static constexpr int TimeColumns = 5;

  char kind = 0;  // the kind letter: 'a', 'b' (written), 'x' (the ring's turn), 'e', 'f' (end), 'n' (erased)
  uint8_t timeCount = 0;
  uint32_t valueCount = 0;
  // The time columns of an opened file are not the text their numbers give ("3" for "03", a word):
  // they are shown as the file has them.
  bool timeAsText = false;
  bool cutShort = false;  // the log ended inside the record
  // Records before it in the device's memory were lost with a block that did not arrive: whatever ran on
  // through them is not known to have.
  bool followsLostRecords = false;
  RecordTime time;
  uint32_t firstValue = 0;
  // The line the record was read from (an opened file, the archive's history), written and shown as it
  // was; null for a record decoded from the device's memory, whose line is written from its values.
  QByteArray text;
};

// Records and the values they point into: the records of a log in some order, the values in the
// order they were decoded. Putting records into another order keeps the values where they are.
struct RecordLog {
  std::vector<LogRecord> records;
  std::vector<RecordValue> values;

  std::span<const RecordValue> Values(const LogRecord& record) const {
    return {values.data() + record.firstValue, record.valueCount};
  }
  int Count() const { return int(records.size()); }
  bool IsEmpty() const { return records.empty(); }
  void Clear() {
    records.clear();
    values.clear();
  }
};
