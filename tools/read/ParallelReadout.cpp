#include "ParallelReadout.h"

#include <QEventLoop>
#include <QThread>
#include <algorithm>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace {

// Threads that keep finished readouts: formatting and deciding take the cores, and as many again wait
// for the disk and the archive meanwhile.
int KeepingThreads(int jobs) {
  return std::clamp(2 * QThread::idealThreadCount(), 1, std::max(jobs, 1));
}

// Tasks run by a few threads, in the order given. Joined threads, not QThreads: a QThread counts as
// finished before the thread's own data (a TLS library's, say) is freed, and the program could end while
// that is still under way.
class TaskThreads {
 public:
  explicit TaskThreads(int threads) {
    for (int i = 0; i < threads; ++i) threads_.emplace_back([this] { Work(); });
  }
  ~TaskThreads() {
    {
      const std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    queued_.notify_all();
  }
  TaskThreads(const TaskThreads&) = delete;
  TaskThreads& operator=(const TaskThreads&) = delete;

  void Add(std::function<void()> task) {
    {
      const std::lock_guard lock(mutex_);
      tasks_.push_back(std::move(task));
    }
    queued_.notify_one();
  }

 private:
  void Work() {
    for (;;) {
      std::function<void()> task;
      {
        std::unique_lock lock(mutex_);
        queued_.wait(lock, [this] { return stopping_ || !tasks_.empty(); });
        if (tasks_.empty()) return;
        task = std::move(tasks_.front());
        tasks_.pop_front();
      }
      task();
    }
  }

  std::mutex mutex_;
  std::condition_variable queued_;
  std::deque<std::function<void()>> tasks_;
  bool stopping_ = false;
  std::vector<std::jthread> threads_;  // declared last: joined before the queue goes
};

}  // namespace

// Lets a stop reach the readouts for as long as they run.
class StopTaker {
 public:
  StopTaker(ReadoutStop& stop, std::function<void()> take) : stop_(stop) {
    const std::lock_guard lock(stop_.mutex_);
    stop_.take_ = std::move(take);
  }
  ~StopTaker() {
    const std::lock_guard lock(stop_.mutex_);
    stop_.take_ = nullptr;
  }
  StopTaker(const StopTaker&) = delete;
  StopTaker& operator=(const StopTaker&) = delete;

 private:
  ReadoutStop& stop_;
};

void ReadoutStop::Request() {
  const std::lock_guard lock(mutex_);
  requested_ = true;
  if (take_) take_();
}

void ReadInParallel(ReadoutQueue& queue, int jobs,
                    const std::function<std::unique_ptr<LogReadout>(qsizetype device)>& prepare,
                    const KeepReadoutOf& keep, const std::function<void(const DeviceOutcome&)>& report,
                    ReadoutStop& stop) {
  const qsizetype count = queue.Count();
  std::mutex mutex;
  std::condition_variable finished;
  // Outcomes that are done but wait for a device before them to be reported.
  std::vector<std::optional<DeviceOutcome>> outcomes(size_t(count), std::nullopt);
  TaskThreads keeping(KeepingThreads(jobs));

  // The exchanges run on a loop of their own, so that a slow report (a notify command, say) never holds
  // up a reply being taken in time.
  // A device whose readout did not finish, or was not started, before a stop.
  const auto stopped = [&](qsizetype device) {
    DeviceOutcome outcome;
    outcome.host = queue.Host(device);
    outcome.error = QString::fromLatin1(StoppedError);
    {
      const std::lock_guard lock(mutex);
      outcomes[size_t(device)] = std::move(outcome);
    }
    finished.notify_one();
  };

  // The exchanges run on a loop of their own, so that a slow report (a notify command, say) never holds
  // up a reply being taken in time.
  const std::jthread exchanges([&] {
    QEventLoop loop;
    QObject receiver;  // takes the kept readouts' news on this thread
    std::map<qsizetype, std::unique_ptr<LogReadout>> reading;
    std::function<void()> startNext;
    // The device's place goes to the next one once its log is let go.
    const auto letGo = [&](qsizetype device) {
      QMetaObject::invokeMethod(
          &receiver,
          [&, device] {
            reading.erase(device);
            startNext();
            if (reading.empty()) loop.quit();
          },
          Qt::QueuedConnection);
    };
    startNext = [&] {
      while (qsizetype(reading.size()) < jobs && !stop.Requested()) {
        const std::optional<qsizetype> device = queue.TakeNext();
        if (!device) break;
        QElapsedTimer clock;
        clock.start();
        LogReadout* readout = reading.emplace(*device, prepare(*device)).first->second.get();
        QObject::connect(readout, &LogReadout::Finished, &receiver, [&, readout, device = *device, clock] {
          if (readout->Cancelled()) {
            stopped(device);
            letGo(device);
            return;
          }
          auto result = std::make_shared<ReadoutResult>(readout->TakeResult());
          keeping.Add([&, device, result, error = readout->Error(), clock] {
            DeviceOutcome outcome = keep(device, *result, error, clock);
            {
              const std::lock_guard lock(mutex);
              outcomes[size_t(device)] = std::move(outcome);
            }
            finished.notify_one();
            letGo(device);
          });
        });
        readout->Start();
      }
    };
    {
      const StopTaker taker(stop, [&] {
        QMetaObject::invokeMethod(
            &receiver,
            [&] {
              for (const auto& [device, readout] : reading) readout->Cancel();
            },
            Qt::QueuedConnection);
      });
      startNext();
      if (!reading.empty()) loop.exec();
    }
    // After a stop, the devices not handed out yet.
    while (const std::optional<qsizetype> device = queue.TakeNext()) stopped(*device);
  });
  for (qsizetype device = 0; device < count; ++device) {
    std::unique_lock lock(mutex);
    finished.wait(lock, [&] { return outcomes[size_t(device)].has_value(); });
    const DeviceOutcome outcome = std::move(*outcomes[size_t(device)]);
    outcomes[size_t(device)].reset();
    lock.unlock();
    report(outcome);
  }
}
