#include "export/ArchivedPeriod.h"

#include "core/TextLines.h"
#include "core/ValdError.h"
#include "files/MeasurementLine.h"

ArchivedPeriod ReadArchivedPeriod(ArchiveStore& store, const QString& deviceKey, const QByteArray& from,
                                  const QByteArray& to) {
  ArchivedPeriod period;
  const std::optional<ArchivedDevice> device = store.FindDevice(deviceKey);
  if (!device)
    throw ValdError(QStringLiteral("No device \"%1\" in the archive (see vald_archive list)").arg(deviceKey));
  period.device = *device;
  period.type = FindDeviceType(device->deviceCode);
  if (!period.type) {
    throw ValdError(QStringLiteral("%1: unknown device code %2").arg(device->key).arg(device->deviceCode));
  }
  TextLines lines;
  for (const QByteArray& line : store.Lines(device->id, from, to)) lines.Add(line);
  if (lines.IsEmpty()) throw ValdError(QStringLiteral("No records of %1 in that period").arg(device->key));
  period.log = ReadMeasurementLines(lines);
  return period;
}
