#pragma once

#include "core/SharedState.h"
#include "files/MeasurementLine.h"

// The shown log as the tests set and read it: measurement lines become records as an opened file's do
// (each keeping its line), and the log's lines are written back from the records.
inline void AddShownLine(SharedState& state, const QByteArray& line) {
  TextLines one;
  one.Add(line);
  RecordLog read = ReadMeasurementLines(one);
  LogRecord record = read.records.front();
  record.firstValue = uint32_t(state.LogRecords.values.size());
  state.LogRecords.values.insert(state.LogRecords.values.end(), read.values.begin(), read.values.end());
  state.LogRecords.records.push_back(record);
}

inline TextLines ShownLines(const SharedState& state, char systemDecimalSeparator = '.') {
  return ShownMeasurementLines(state, systemDecimalSeparator);
}
