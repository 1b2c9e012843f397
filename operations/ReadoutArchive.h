#pragma once

#include <QByteArray>

#include "archive/ArchiveStore.h"
#include "archive/ArchiveWriter.h"
#include "core/Environment.h"
#include "core/SharedState.h"
#include "readout/ReadoutSteps.h"

struct KeptReadout;

// The identity of the device just read: the identity reply's first 17 characters when they are a MAC
// address, otherwise the device's address and DeviceCode.
DeviceIdentity IdentifyDevice(const QByteArray& identityReply, const ReadoutResult& result, int deviceCode);

// The archive step of a readout: when env.archive names an archive, merges LogRecords (with LogLines)
// and the raw image into it, UTC times at env.timeZone, in one transaction, the device known by the identity
// the readout asked for. Sets kept.mac when the device gave one, and kept.archivedLines, or kept.archiveError
// with what failed; never throws, since the readout itself is complete. `writer`, when given, merges for
// env.archive (readouts of one run sharing its connection); without it the archive is opened here.
void ArchiveReadoutLog(const SharedState& state, const Environment& env, const ReadoutResult& result,
                       KeptReadout& kept, ArchiveWriter* writer = nullptr);
