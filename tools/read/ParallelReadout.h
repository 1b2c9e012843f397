#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QtGlobal>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

#include "DeviceReadout.h"
#include "readout/LogReadout.h"
#include "readout/ReadoutQueue.h"

// A run's stop, asked for from any thread (a stop signal): no readout starts after it, those under way
// end after their exchange in flight, and those finished before are kept as usual.
class ReadoutStop {
 public:
  void Request();
  bool Requested() const { return requested_; }

 private:
  friend class StopTaker;
  std::mutex mutex_;
  std::atomic<bool> requested_{false};
  std::function<void()> take_;  // what the running readouts do on a stop; set while they run
};

// What becomes of a device's finished readout (KeepDeviceReadout with the device's place in the queue).
using KeepReadoutOf = std::function<DeviceOutcome(qsizetype device, ReadoutResult& result,
                                                  const QString& readError, const QElapsedTimer& clock)>;

// Reads the devices of `queue`, up to `jobs` at once, and keeps what they gave. Every device's exchanges
// run on the calling thread's event loop (`prepare` gives a device's readout, not started); a finished
// readout is kept by `keep` on one of a few threads of the run's own while the loop goes on with the
// others, so that a fleet of devices costs neither a thread each nor a loop each. A device's place is
// taken by the next one only once it is kept, so no more than `jobs` logs are held at a time. `report`
// runs on the calling thread, once per device in queue order, as soon as that device and every one
// before it are done. With one job the devices are read one after another. After a `stop` every device
// whose readout did not finish is reported with the error StoppedError.
void ReadInParallel(ReadoutQueue& queue, int jobs,
                    const std::function<std::unique_ptr<LogReadout>(qsizetype device)>& prepare,
                    const KeepReadoutOf& keep, const std::function<void(const DeviceOutcome&)>& report,
                    ReadoutStop& stop);

inline constexpr char StoppedError[] = "not read: vald_read was stopped";
