#pragma once

#include <QByteArray>
#include <cstdint>

#include "core/LogRecord.h"
#include "core/TextLines.h"

// The process-wide variables that the main window's handlers share. One instance is owned by the main
// window and handed by reference to the operations that use it; tests make their own.
struct SharedState {
  RecordLog LogRecords;     // the shown log, in time order; its measurement lines are written from it
  TextLines DecodedLines;   // lines of the last device operation
  TextLines SettingsLines;  // cfg.ini in memory
  TextLines LineFields;     // fields of the measurement line being rendered

  int32_t ReceivedByteCount = 0;
  int32_t DeviceCode = 0;
  int32_t ChipCode = 0;
  int32_t RecordLength = 0;
  QByteArray DecimalSeparatorText;

  // The main window's creation step creates the lists anew; a save in the settings editor does it
  // again, which leaves them empty.
  void RecreateLists() {
    DecodedLines.Clear();
    LogRecords.Clear();
    SettingsLines.Clear();
    LineFields.Clear();
  }
};
