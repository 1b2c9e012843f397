#pragma once

#include <QtGlobal>
#include <functional>

#include "DeviceReadout.h"
#include "readout/ReadoutQueue.h"

// Reads the devices of `queue` with `read` (given a device's place in the queue), up to `jobs` at once,
// each on a thread of its own that takes the next device from the queue when it is done with one, so no
// more than `jobs` logs are held at a time. `report` runs on the calling thread, once per device in queue
// order, as soon as that device and every one before it are done. With one job the devices are read one
// after another.
void ReadInParallel(ReadoutQueue& queue, int jobs, const std::function<DeviceOutcome(qsizetype device)>& read,
                    const std::function<void(const DeviceOutcome&)>& report);
