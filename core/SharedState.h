#pragma once

#include <QByteArray>
#include <array>
#include <cstdint>
#include <utility>

#include "core/LogRecord.h"
#include "core/TextLines.h"

// The process-wide variables that the main window's handlers share. One instance is owned by the main
// window and handed by reference to the operations that use it; tests make their own.
struct SharedState {
  static constexpr int SendBufferSize = 512;
  static constexpr int ReceiveBufferSize = 513;

  TextLines LogLines;       // MeasurementLines of the current log, in time order
  RecordLog LogRecords;     // the same log as records, one per line of LogLines (see LogRecordsMatch)
  TextLines DecodedLines;   // lines of the last device operation
  TextLines SettingsLines;  // cfg.ini in memory
  TextLines LineFields;     // fields of the measurement line being rendered

  QByteArray OutputText;       // text under construction by the device operations
  char CurrentRecordKind = 0;  // none until the first readout
  int32_t LinePosition = 0;
  int32_t ReceivedByteCount = 0;
  int32_t DeviceCode = 0;
  int32_t ChipCode = 0;
  int32_t RecordLength = 0;
  QByteArray DecimalSeparatorText;

  std::array<uint8_t, SendBufferSize> SendBuffer{};
  std::array<uint8_t, ReceiveBufferSize> ReceiveBuffer{};

  // The log as lines and as the records they were made from or read into.
  void SetLog(TextLines lines, RecordLog records) {
    LogLines = std::move(lines);
    LogRecords = std::move(records);
    logRecordsOfLines_ = LogLines.Revision();
  }
  // Whether LogRecords still belongs to LogLines: a change of the lines alone leaves records of
  // another log.
  bool LogRecordsMatch() const { return logRecordsOfLines_ == LogLines.Revision(); }

  // The main window's creation step creates the four lists anew; a save in the settings editor does it
  // again, which leaves them empty.
  void RecreateLists() {
    DecodedLines.Clear();
    LogLines.Clear();
    LogRecords.Clear();
    SettingsLines.Clear();
    LineFields.Clear();
  }

 private:
  uint64_t logRecordsOfLines_ = 0;
};
