#pragma once

#include <QString>
#include <QTimeZone>
#include <array>
#include <optional>
#include <vector>

#include "archive/ArchiveChannels.h"
#include "archive/ArchiveStore.h"
#include "core/LogRecord.h"

// What an export writes: one device's records in time order, each with its local time and UTC time
// and its values in the channels' units, and the device's channels from the catalogue.
struct ExportTable {
  struct Row {
    qint64 local = 0;  // the device's wall clock, seconds since 1970 as if it were UTC
    qint64 utc = 0;    // seconds since 1970-01-01 00:00 UTC
    std::array<std::optional<double>, ArchivedLine::ChannelCount> values;  // in the channel's unit
  };

  QString device;  // the archive's device key; empty for a log that is not the archive's
  QString type;    // DeviceTypeName
  std::vector<DeviceChannel> channels;
  std::vector<Row> rows;
};

// An archived device's export without its rows: the device, its type and channels.
ExportTable ExportHeadingOf(const ArchivedDevice& device);
// A record as a row of `table`, its values in the channels' units.
ExportTable::Row ExportRowOf(const ExportTable& table, const ArchivedLine& record);

// A log's records in ring order, of the device type `deviceCode`, at the site's time zone; records
// without a valid time stamp are left out.
ExportTable ExportOfLog(const RecordLog& log, int deviceCode, const QTimeZone& zone);
