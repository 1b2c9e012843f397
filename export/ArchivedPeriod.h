#pragma once

#include <QByteArray>
#include <QString>

#include "archive/ArchiveStore.h"
#include "core/LogRecord.h"
#include "decode/DeviceCatalogue.h"

// A device's archived records of a period, read back into records in time order.
struct ArchivedPeriod {
  ArchivedDevice device;
  const DeviceType* type = nullptr;  // the catalogue row of its device code
  RecordLog log;
};

// The records of the device `deviceKey` from `from` to `to` (SQL time text, inclusive; empty: unbounded).
// Throws ValdError for a device the archive does not hold, one of a device code this program does not
// know, and a period without records.
ArchivedPeriod ReadArchivedPeriod(ArchiveStore& store, const QString& deviceKey, const QByteArray& from,
                                  const QByteArray& to);
