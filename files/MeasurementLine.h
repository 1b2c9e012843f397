#pragma once

#include <QByteArray>
#include <span>
#include <vector>

#include "core/LogRecord.h"
#include "core/SharedState.h"
#include "core/TextLines.h"

// The decimal separators of a measurement line: values of the integer-and-fraction-byte encoding take
// the DecimalSeparator setting's first character (the system's separator when the setting is empty),
// every other value the system's separator.
struct LineSeparators {
  char setting = '.';
  char system = '.';
};
LineSeparators SeparatorsOf(const QByteArray& decimalSeparatorText, char systemDecimalSeparator);

// Appends a record as a measurement line (no line end): a record read from a line gives that line, any
// other the time columns year, month, day, hour,
// minute ("0" for a zero year byte; two digits below 10), then every value, each closed by ";":
// "--" for a missing value, an event code followed by ";" and the event's name without a closing ";".
// A record cut short gives the columns it has.
void AppendMeasurementLine(const LogRecord& record, std::span<const RecordValue> values,
                           const LineSeparators& separators, QByteArray& out);
QByteArray FormatMeasurementLine(const LogRecord& record, std::span<const RecordValue> values,
                                 const LineSeparators& separators);

// The measurement lines of records, as AppendMeasurementLine writes them.
TextLines FormatMeasurementLines(std::span<const LogRecord> records, std::span<const RecordValue> values,
                                 const LineSeparators& separators);
// The measurement lines of a whole log.
TextLines MeasurementLinesOf(const RecordLog& log, const LineSeparators& separators);
// The measurement lines of the shown log (LogRecords), with the DecimalSeparator setting and the system's
// separator: what Memo2 shows and "Mentés" writes.
TextLines ShownMeasurementLines(const SharedState& state, char systemDecimalSeparator);

// The decoded lines of a log's records in memory order (DecodedLines): each record's kind letter and
// ";" before its measurement line. They end before the first record of kind 0; a log that does not end
// so, and whose last record is whole, has a final empty line.
TextLines FormatDecodedLines(std::span<const LogRecord> memoryOrder, std::span<const RecordValue> values,
                             const LineSeparators& separators);

// Reads measurement lines back into records, one per line, each keeping its line: the text before each ";" is
// a column, the first five the time stamp, the others values; "--" is a missing value, a number may have "."
// or "," as its decimal separator, any other column is unreadable. Text after the last ";" (an event's name)
// is no column.
RecordLog ReadMeasurementLines(const TextLines& lines);
