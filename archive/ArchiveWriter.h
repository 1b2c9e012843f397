#pragma once

#include <QFuture>
#include <QPromise>
#include <QThread>
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <vector>

#include "archive/ArchiveStore.h"
#include "archive/WalCheckpointer.h"

// The connections to an archive for readouts that finish on many threads at once: their merges queue up
// for threads of the writer's own, each in its own transaction. On SQLite one thread takes them one
// after another: connections of their own would each check the schema and sleep in turns while another
// holds the write lock; the one writer opens the archive once, while the devices are still being read,
// and never waits for a lock of its own program. A server merges several devices at once, each on a
// connection of its own: a few threads take the queue there, so that the round trips of one merge do
// not hold up the others. The questions a readout asks before its merge (what the archive knows of the
// device) take a reading connection on SQLite, on a thread of its own, so that they need not wait for the
// merges queued before them.
class ArchiveWriter {
 public:
  // `zone` is the site's time zone, as for ArchiveStore.
  explicit ArchiveWriter(const ArchiveLocation& location,
                         const QTimeZone& zone = QTimeZone::systemTimeZone());
  ~ArchiveWriter();
  ArchiveWriter(const ArchiveWriter&) = delete;
  ArchiveWriter& operator=(const ArchiveWriter&) = delete;

  // Prepares the readout's records on the calling thread and queues their merge for the writer's: the
  // future gives what ArchiveStore::Merge returns or throws, and `readout` is to stay until it has. The
  // caller goes on meanwhile (writing the measurement file, say). After a failure the next merge opens
  // the archive again, as a store of its own would. `alongside` runs in the merge's transaction, on the
  // writer's thread, and is to stay until the merge has ended as well.
  std::future<MergeResult> StartMerge(const ArchiveReadout& readout, MergeAlongside alongside = {});

  // The MAC address last seen at `address` with `deviceCode` (ArchiveStore::MacLastSeenAt). Throws
  // ValdError when the archive cannot be read.
  std::optional<QString> MacLastSeenAt(const QString& address, int deviceCode);

  // Runs `work` on the writer's connection and waits for it; what it throws is thrown here.
  void Run(const std::function<void(ArchiveStore&)>& work);
  // Runs `question`, which only reads, and waits for it: on SQLite on the reading connection, which sees
  // every merge committed so far, on a server on the writer's connections. What it throws is thrown here.
  void Ask(const std::function<void(ArchiveStore&)>& question);
  // The same without waiting: the future holds the answer, or what `failed` makes of the error that
  // kept the question from being answered.
  template <typename T>
  QFuture<T> AskLater(std::function<T(ArchiveStore&)> question,
                      std::function<T(const QString& error)> failed) {
    auto answer = std::make_shared<QPromise<T>>();
    answer->start();
    QFuture<T> future = answer->future();
    Queue(questionsThread_ ? questions_ : jobs_,
          {[answer, question = std::move(question)](ArchiveStore& store) {
             answer->addResult(question(store));
             answer->finish();
           },
           [answer, failed = std::move(failed)](std::exception_ptr error) {
             answer->addResult(failed(ErrorText(error)));
             answer->finish();
           }});
    return future;
  }

 private:
  struct Job {
    std::function<void(ArchiveStore&)> work;         // runs on one of the writer's connections
    std::function<void(std::exception_ptr)> failed;  // takes what `work` threw
  };
  void Queue(std::deque<Job>& queue, Job job);
  // What `error` says (a ValdError's message).
  static QString ErrorText(std::exception_ptr error);
  // Queues `work` on `queue` and waits for it; what it throws is thrown here.
  void Await(std::deque<Job>& queue, const std::function<void(ArchiveStore&)>& work);
  void TakeJobs();
  void TakeQuestions();

  ArchiveLocation location_;
  QTimeZone zone_;
  std::mutex mutex_;
  std::condition_variable queued_;
  std::deque<Job> jobs_;
  std::deque<Job> questions_;  // on SQLite, for the reading connection
  bool openedAhead_ = false;   // the writer has opened the archive (and brought its schema up to date)
  bool stopping_ = false;
  bool questionsEnd_ = false;
  std::unique_ptr<WalCheckpointer> checkpointer_;  // on SQLite, once the archive file is there
  std::vector<std::unique_ptr<QThread>> threads_;
  std::unique_ptr<QThread> questionsThread_;  // on SQLite
};
