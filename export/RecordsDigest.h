#pragma once

#include <QByteArray>
#include <optional>

#include "core/LogRecord.h"

// The fingerprint of the records a report was made from, which a later reader recomputes from the
// archive to see that the report still tells of the same records.
//
// What is hashed is the records' canonical text: every record whose time stamp is a valid date and
// time (the archive keeps no other), in time order (records of the same minute in the order given),
// one line each, "\n" after every line:
//   yyyy-MM-dd hh:mm;VALUE;VALUE...
// a VALUE per value column of the record as logged (before its quantity's scale), with "." before its
// decimals and as many decimals as the record has ("20.0", "-0" for a negative zero), "--" for a
// missing value and "?" for one that is no number. The same records give the same text whether they
// come from a readout, a measurement file or the archive, whatever decimal separator they were written
// with.
QByteArray RecordsCanonicalText(const RecordLog& log);

// The records of the canonical text: how many, the first and the last time stamp.
struct RecordsDigest {
  QByteArray sha256;  // SHA-256 of the canonical text, 64 lower-case hex digits
  int records = 0;
  std::optional<RecordTime> first;
  std::optional<RecordTime> last;
};

RecordsDigest DigestOfRecords(const RecordLog& log);

// Whether a time stamp is a valid date and time, to the minute.
bool IsValidRecordTime(const RecordTime& time);
