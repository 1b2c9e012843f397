#pragma once

#include <QByteArray>
#include <QList>

#include "core/TextLines.h"
#include "files/MeasurementLine.h"

// A known log from measurement lines, in time order, as an opened file gives it.
inline RecordLog LogOfLines(const QList<QByteArray>& lines) {
  TextLines text;
  for (const QByteArray& line : lines) text.Add(line);
  return ReadMeasurementLines(text);
}
