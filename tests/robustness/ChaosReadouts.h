#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

#include "tools/sim/ReplyFault.h"

// What a run of chaos readouts did: how the readouts ended, how many requests got each kind of fault,
// and every broken invariant, each naming its seed so that the case can be replayed
// (vald_sim --chaos SEED).
struct ChaosFigures {
  int readouts = 0;
  int complete = 0;    // the whole log arrived: vald_read exits 0
  int incomplete = 0;  // a file and the blocks without a full reply named: vald_read exits 1
  int noDevice = 0;    // the header named no known device
  int errors = 0;      // an error ended the readout
  std::array<int, 7> requestsByFault{};  // indexed by ReplyFaultKind
  QStringList violations;

  void Add(const ChaosFigures& other);
};

// Reads simulated devices in chaos mode with the seeds firstSeed .. firstSeed + count - 1, `parallel`
// readouts at a time (at most 254, each on its own loopback address 127.0.1.n), each device a small
// 25LC254 log of one of a few device types, and checks each
// readout against what its device sent and against a readout of the same device without faults:
// - a complete readout wrote the fault-free readout's file, byte for byte;
// - a header that named a known device left a file, whatever the blocks did;
// - a block is named exactly when its last request got no full reply, with that reply's length (a late
//   reply that still came in time on a busy machine may complete its block).
ChaosFigures RunChaosReadouts(uint32_t firstSeed, int count, int parallel);

// The figures as lines of text, the violations last.
QString ChaosReport(const ChaosFigures& figures, double seconds);
