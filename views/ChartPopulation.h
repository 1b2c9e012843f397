#pragma once

#include "core/SharedState.h"
#include "views/ChannelExtremes.h"
#include "views/WindowModel.h"

// The first half of RenderViews: empties every series and text box ("1: " and "2: " go back into the
// T and H strips), then charts each record of LogRecords by the layout of the DeviceCode, one point per
// record on every series the layout uses, and labels the first series of each used page with the
// record's date and time. A missing value gives a null point, and no value is refused for its decimal
// separator. Afterwards LineFields holds the fields of the last record's measurement line and `extremes` the
// energy meter's raw extremes. Throws ValdError "List index out of bounds (<column>)" for a line without a
// column its layout reads and "'<text>' is not a valid floating point value" for a column of an opened file
// that is no number; the points added before stay and LineFields holds the fields of the failing line.
void PopulateCharts(SharedState& state, WindowModel& view, char systemDecimalSeparator,
                    ChannelExtremes& extremes);

// What PopulateCharts would refuse in `log`, a log of the device with `deviceCode` read with the
// DecimalSeparator setting `decimalSeparatorText`, found without drawing it: throws the same ValdError.
void CheckLogIsChartable(const RecordLog& log, int deviceCode, const QByteArray& decimalSeparatorText,
                         char systemDecimalSeparator);
