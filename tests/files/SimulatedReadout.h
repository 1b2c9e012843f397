#pragma once

#include <QDateTime>
#include <QString>

#include "core/Environment.h"
#include "core/SharedState.h"
#include "operations/Readout.h"
#include "tools/sim/SimulatorConfig.h"
#include "views/WindowModel.h"

// The environment of a readout in a test: `separator` is the system's decimal separator, the clock
// stands at `time`, files go to `folder`.
Environment TestEnvironment(const QString& folder, char separator, const QDateTime& time);

// What a "Lekérdezés" of a simulated device left behind.
struct SimulatedReadout {
  SharedState state;
  WindowModel view;
  ReadoutReport report;
};

// Reads the whole log of a simulated device configured by `config`, with `separator` both as the
// DecimalSeparator setting and as the system's, writing the automatic measurement file into `folder`
// at local time `time`.
SimulatedReadout ReadSimulatedDevice(const SimulatorConfig& config, char separator, const QString& folder,
                                     const QDateTime& time);

// A simulated device of `deviceCode` with a fixed generated log: 32 blocks, a wrapped ring of
// `recordCount` records every ten minutes from 2024-03-01 00:00, seed 7, every 50th record with a
// missing value.
SimulatorConfig FixedSimulatorConfig(int deviceCode, int recordCount);
