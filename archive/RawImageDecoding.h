#pragma once

#include <QByteArray>
#include <QList>
#include <optional>

// Decodes a readout's raw image (the 512-byte log header, then every log block as received) into
// its measurement lines in time order, as the readout did, with the DecimalSeparator setting and the
// system's separator it had. Nothing when the header's device code is unknown.
std::optional<QList<QByteArray>> DecodeRawImage(const QByteArray& image,
                                                const QByteArray& decimalSeparatorText,
                                                char systemDecimalSeparator);
