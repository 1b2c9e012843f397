#include "ParallelReadout.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

void ReadInParallel(ReadoutQueue& queue, int jobs, const std::function<DeviceOutcome(qsizetype device)>& read,
                    const std::function<void(const DeviceOutcome&)>& report) {
  const qsizetype count = queue.Count();
  std::mutex mutex;
  std::condition_variable finished;
  // Outcomes that are done but wait for a device before them to be reported.
  std::vector<std::optional<DeviceOutcome>> outcomes(size_t(count), std::nullopt);

  const auto work = [&] {
    while (const std::optional<qsizetype> device = queue.TakeNext()) {
      DeviceOutcome outcome = read(*device);
      {
        const std::lock_guard lock(mutex);
        outcomes[size_t(*device)] = std::move(outcome);
      }
      finished.notify_one();
    }
  };
  // Joined threads, not QThreads: a QThread counts as finished before the thread's own data (a TLS
  // library's, say) is freed, and the program could end while that is still under way.
  std::vector<std::jthread> workers;
  for (qsizetype i = 0; i < std::min<qsizetype>(jobs, count); ++i) workers.emplace_back(work);

  for (qsizetype device = 0; device < count; ++device) {
    std::unique_lock lock(mutex);
    finished.wait(lock, [&] { return outcomes[size_t(device)].has_value(); });
    const DeviceOutcome outcome = std::move(*outcomes[size_t(device)]);
    outcomes[size_t(device)].reset();
    lock.unlock();
    report(outcome);
  }
}
