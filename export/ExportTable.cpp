#include "export/ExportTable.h"

#include <cmath>

#include "archive/SiteTime.h"
#include "decode/DeviceCatalogue.h"

namespace {

// The channels of a device code; every value a channel of its own for a code the catalogue lacks.
std::vector<DeviceChannel> ChannelsOfCode(int deviceCode) {
  if (const DeviceType* type = FindDeviceType(deviceCode)) return ChannelsOf(*type);
  std::vector<DeviceChannel> channels;
  for (int column = 1; column <= ArchivedLine::ChannelCount; ++column)
    channels.push_back({column, column, false, &QuantityOf('X')});
  return channels;
}

// A logged number in its channel's unit. Tenths are divided by ten, which gives the number nearest to
// the decimal value (multiplying by 0.1 may not).
double InUnit(double logged, const Quantity& quantity) {
  return quantity.scale < 1 ? logged / std::round(1 / quantity.scale) : logged * quantity.scale;
}

}  // namespace

ExportTable ExportHeadingOf(const ArchivedDevice& device) {
  ExportTable table;
  table.device = device.key;
  table.type = device.deviceType;
  table.channels = ChannelsOfCode(device.deviceCode);
  return table;
}

ExportTable::Row ExportRowOf(const ExportTable& table, const ArchivedLine& record) {
  ExportTable::Row row{record.time, record.timeUtc, record.values};
  for (const DeviceChannel& channel : table.channels) {
    std::optional<double>& value = row.values[size_t(channel.column - 1)];
    if (value) value = InUnit(*value, *channel.quantity);
  }
  return row;
}

ExportTable ExportOfLog(const RecordLog& log, int deviceCode, const QTimeZone& zone) {
  ExportTable table;
  const DeviceType* type = FindDeviceType(deviceCode);
  table.type = type ? QString::fromLatin1(type->name) : QString();
  table.channels = ChannelsOfCode(deviceCode);
  const ArchivedLines records = ArchiveRecords(log, {}, zone);
  table.rows.reserve(records.records.size());
  for (const ArchivedLine& record : records.records) table.rows.push_back(ExportRowOf(table, record));
  return table;
}
