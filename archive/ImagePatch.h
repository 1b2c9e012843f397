#pragma once

#include <QByteArray>
#include <optional>

// A readout's raw image kept as the blocks that differ from the device's previous image: a device that
// logged nothing new since costs the archive no image at all. A patch is a run of entries, each the
// block's number (16 bits, little-endian; 0 is the log header) and its 512 bytes.
QByteArray ImagePatch(const QByteArray& previous, const QByteArray& image);

// `previous` with the patch's blocks in their places; nothing when the patch does not fit it.
std::optional<QByteArray> PatchedImage(QByteArray previous, const QByteArray& patch);

// The image a patch holds whole: the log header and every block of the log its chip holds, each once;
// nothing for a patch that leaves a block out.
std::optional<QByteArray> WholeImageOfPatch(const QByteArray& patch);
