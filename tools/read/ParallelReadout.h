#pragma once

#include <QtGlobal>
#include <functional>

#include "DeviceReadout.h"

// Reads devices 0 .. count - 1 with `read`, up to `jobs` at once, each on a thread of its own that
// takes the next device when it is done with one, so no more than `jobs` logs are held at a time.
// `report` runs on the calling thread, once per device in device order, as soon as that device and every
// one before it are done. With one job the devices are read one after another.
void ReadInParallel(qsizetype count, int jobs, const std::function<DeviceOutcome(qsizetype device)>& read,
                    const std::function<void(const DeviceOutcome&)>& report);
