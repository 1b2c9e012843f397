#pragma once

#include <QDateTime>
#include <optional>

#include "archive/ArchiveStore.h"
#include "readout/LogReadout.h"

// When a readout of a run with an archive reads only what is new since the device's last readout.
struct NewOnlyPolicy {
  bool enabled = false;     // the window reads every block; vald_read with an archive only what is new
  bool forceFull = false;   // --full
  int fullEveryHours = 24;  // a readout of every block once the last one is older than this
};

// The earlier image a readout at `now` may patch, or why it reads every block instead: there is no
// earlier readout, the policy wants every block, the archive cannot rebuild the last readout's image, the
// last readout missed blocks (or is too old to say), or the device's last full readout is older than the
// policy allows.
EarlierImage ChooseEarlierImage(const std::optional<LastReadout>& last, const NewOnlyPolicy& policy,
                                const QDateTime& now);
