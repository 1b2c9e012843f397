#pragma once

#include <QByteArray>
#include <array>
#include <cstdint>

#include "core/LogRecord.h"
#include "core/TextLines.h"

// The process-wide variables that the main window's handlers share. One instance is owned by the main
// window and handed by reference to the operations that use it; tests make their own.
struct SharedState {
  static constexpr int SendBufferSize = 512;
  static constexpr int ReceiveBufferSize = 513;

  RecordLog LogRecords;     // the shown log, in time order; its measurement lines are written from it
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

  // The main window's creation step creates the lists anew; a save in the settings editor does it
  // again, which leaves them empty.
  void RecreateLists() {
    DecodedLines.Clear();
    LogRecords.Clear();
    SettingsLines.Clear();
    LineFields.Clear();
  }
};
