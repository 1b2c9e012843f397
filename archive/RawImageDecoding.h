#pragma once

#include <QByteArray>
#include <QList>
#include <optional>

#include "core/LogRecord.h"

// A raw image decoded again: its records in ring order and their measurement lines.
struct DecodedImage {
  RecordLog log;
  QList<QByteArray> lines;
};

// Decodes a readout's raw image (the 512-byte log header, then every log block as received) into
// its records and measurement lines in time order, as the readout did, with the DecimalSeparator
// setting and the system's separator it had. Nothing when the header's device code is unknown.
std::optional<DecodedImage> DecodeRawImage(const QByteArray& image, const QByteArray& decimalSeparatorText,
                                           char systemDecimalSeparator);
