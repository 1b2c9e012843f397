#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QtGlobal>
#include <functional>
#include <memory>

#include "DeviceReadout.h"
#include "readout/LogReadout.h"
#include "readout/ReadoutQueue.h"

// What becomes of a device's finished readout (KeepDeviceReadout with the device's place in the queue).
using KeepReadoutOf = std::function<DeviceOutcome(qsizetype device, ReadoutResult& result,
                                                  const QString& readError, const QElapsedTimer& clock)>;

// Reads the devices of `queue`, up to `jobs` at once, and keeps what they gave. Every device's exchanges
// run on the calling thread's event loop (`prepare` gives a device's readout, not started); a finished
// readout is kept by `keep` on one of a few threads of the run's own while the loop goes on with the
// others, so that a fleet of devices costs neither a thread each nor a loop each. A device's place is
// taken by the next one only once it is kept, so no more than `jobs` logs are held at a time. `report`
// runs on the calling thread, once per device in queue order, as soon as that device and every one
// before it are done. With one job the devices are read one after another.
void ReadInParallel(ReadoutQueue& queue, int jobs,
                    const std::function<std::unique_ptr<LogReadout>(qsizetype device)>& prepare,
                    const KeepReadoutOf& keep, const std::function<void(const DeviceOutcome&)>& report);
