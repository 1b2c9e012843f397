#pragma once

#include <QByteArray>

#include "archive/ArchiveStore.h"
#include "archive/ArchiveWriter.h"
#include "core/Environment.h"
#include "core/SharedState.h"
#include "decode/LogReadout.h"
#include "link/DeviceLink.h"

// The identity of the device just read: the identity reply's first 17 characters when they are a MAC
// address, otherwise the device's address and DeviceCode.
DeviceIdentity IdentifyDevice(const QByteArray& identityReply, const ReadoutResult& result, int deviceCode);

// The archive step of a readout whose file is written: when env.archive names an archive, asks the
// device for its identity and merges LogLines and the raw image into the archive in one transaction.
// Sets result.mac when the device gave one, and result.archivedLines, or result.archiveError with what
// failed; never throws, since the readout itself is complete and on disk. `writer`, when given, merges
// for env.archive (readouts of one run sharing its connection); without it the archive is opened here.
void ArchiveReadoutLog(SharedState& state, DeviceLink& link, const Environment& env, ReadoutResult& result,
                       ArchiveWriter* writer = nullptr);
