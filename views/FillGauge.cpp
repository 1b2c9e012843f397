#include "views/FillGauge.h"

#include "decode/DeviceCatalogue.h"

void ShowFillGauge(const SharedState& state, WindowModel& view) {
  const int lines = state.LogRecords.Count();
  const int logBytes = ChipBlockCount(state.ChipCode).logCapacityBytes;
  // Without a record length (no device read or opened yet) the capacity is as unknown as without a chip.
  if (logBytes > 0 && state.RecordLength > 0) {
    const int capacity = logBytes / state.RecordLength;
    view.gaugeCaption = QByteArray::number(lines) + '/' + QByteArray::number(capacity - 1);
    view.progressMaximum = capacity;
  }
  view.progressPosition = lines;
}
