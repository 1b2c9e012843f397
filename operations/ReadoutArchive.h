#pragma once

#include <QByteArray>

#include "archive/ArchiveStore.h"
#include "archive/ArchiveWriter.h"
#include "core/Environment.h"
#include "core/SharedState.h"
#include "readout/LogReadout.h"
#include "readout/ReadoutSteps.h"

struct KeptReadout;

// The identity of the device just read: the identity reply's first 17 characters when they are a MAC
// address, otherwise the device's address and DeviceCode.
DeviceIdentity IdentifyDevice(const QByteArray& identityReply, const ReadoutResult& result, int deviceCode);

// The MAC address the archive last saw at `address` with `deviceCode`, if it knows one.
std::optional<QString> KnownMac(const Environment& env, const QString& address, int deviceCode);

// How often a readout for `env` asks a device for its identity: not at all without an archive; three
// times while the archive knows no MAC address for the device's address and code, else once, as a
// missing reply then falls back to the known one.
IdentityAsks IdentityAsksFor(const Environment& env);

// The archive step of a readout: when env.archive names an archive, merges LogRecords (with LogLines)
// and the raw image into it, UTC times at env.timeZone, in one transaction, the device known by the identity
// the readout asked for, or without one by the MAC address last seen at its address with its code
// (KnownMac). Sets kept.mac when the device gave one, and kept.archivedLines, or kept.archiveError with
// what failed; never throws, since the readout itself is complete. `writer`, when given, merges for
// env.archive (readouts of one run sharing its connection); without it the archive is opened here.
void ArchiveReadoutLog(const SharedState& state, const Environment& env, const ReadoutResult& result,
                       KeptReadout& kept, ArchiveWriter* writer = nullptr);

// The writer for the readouts of one run into env.archive (UTC at env.timeZone): it opens the archive
// while the first device is being read, so that no readout waits for that after its last reply. Nothing
// when env.archive is off or names no archive; each readout's merge then reports that itself.
std::unique_ptr<ArchiveWriter> ArchiveWriterFor(const Environment& env);
