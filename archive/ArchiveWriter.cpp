#include "archive/ArchiveWriter.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <optional>

#include "core/ValdError.h"

namespace {

// Connections merging at once into a server's archive.
constexpr int ServerConnections = 4;

// The writer's connection, readied for the merges of a whole run.
void Open(const ArchiveLocation& location, const QTimeZone& zone, std::optional<ArchiveStore>& store) {
  store.emplace(location, ArchiveAccess::ReadWrite, zone);
  store->PrepareForManyMerges();
}

// What the writer does while the devices are still being read, so that the first merge does not wait
// for it: opens an archive that exists (or a server's), or else loads the SQLite driver, leaving the
// new file to the first merge. A failure is met again by the first merge, which reports it.
void OpenAhead(const ArchiveLocation& location, const QTimeZone& zone, std::optional<ArchiveStore>& store) {
  if (location.engine == ArchiveLocation::Engine::SQLite && !QFileInfo::exists(location.path)) {
    const QString connection = QStringLiteral("vald_archive_driver");
    QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
    QSqlDatabase::removeDatabase(connection);
    return;
  }
  try {
    Open(location, zone, store);
  } catch (const ValdError&) {
    store.reset();
  }
}

}  // namespace

ArchiveWriter::ArchiveWriter(const ArchiveLocation& location, const QTimeZone& zone)
    : location_(location), zone_(zone) {
  const bool sqlite = location.engine == ArchiveLocation::Engine::SQLite;
  for (int i = 0; i < (sqlite ? 1 : ServerConnections); ++i) {
    threads_.emplace_back(QThread::create([this] { TakeJobs(); }));
    threads_.back()->start();
  }
  if (sqlite) {
    questionsThread_.reset(QThread::create([this] { TakeQuestions(); }));
    questionsThread_->start();
  }
}

ArchiveWriter::~ArchiveWriter() {
  // The reading connection closes first: the writer's, closed last, moves the write-ahead log into the
  // archive file.
  if (questionsThread_) {
    {
      const std::lock_guard lock(mutex_);
      questionsEnd_ = true;
    }
    queued_.notify_all();
    questionsThread_->wait();
  }
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  queued_.notify_all();
  for (const std::unique_ptr<QThread>& thread : threads_) thread->wait();
}

std::future<MergeResult> ArchiveWriter::StartMerge(const ArchiveReadout& readout, MergeAlongside alongside) {
  auto lines = std::make_shared<const ArchivedLines>(PrepareArchivedLines(readout, zone_));
  auto merged = std::make_shared<std::promise<MergeResult>>();
  std::future<MergeResult> result = merged->get_future();
  Queue(jobs_, {[this, &readout, lines, merged, alongside = std::move(alongside)](ArchiveStore& store) {
                  const MergeResult added = store.Merge(readout, *lines, alongside);
                  if (location_.engine == ArchiveLocation::Engine::SQLite) {
                    if (!checkpointer_) checkpointer_ = std::make_unique<WalCheckpointer>(location_.path);
                    checkpointer_->Committed();
                  }
                  merged->set_value(added);
                },
                [merged](std::exception_ptr error) { merged->set_exception(error); }});
  return result;
}

std::optional<QString> ArchiveWriter::MacLastSeenAt(const QString& address, int deviceCode) {
  // An archive file that the first merge has not made yet knows no device, and asking must not make it.
  if (location_.engine == ArchiveLocation::Engine::SQLite && !QFileInfo::exists(location_.path))
    return std::nullopt;
  std::optional<QString> mac;
  Ask([&](ArchiveStore& store) { mac = store.MacLastSeenAt(address, deviceCode); });
  return mac;
}

void ArchiveWriter::Run(const std::function<void(ArchiveStore&)>& work) {
  Await(jobs_, work);
}

void ArchiveWriter::Ask(const std::function<void(ArchiveStore&)>& question) {
  Await(questionsThread_ ? questions_ : jobs_, question);
}

void ArchiveWriter::Await(std::deque<Job>& queue, const std::function<void(ArchiveStore&)>& work) {
  std::promise<void> done;
  Queue(queue, {[&](ArchiveStore& store) {
                  work(store);
                  done.set_value();
                },
                [&](std::exception_ptr error) { done.set_exception(error); }});
  done.get_future().get();
}

QString ArchiveWriter::ErrorText(std::exception_ptr error) {
  try {
    std::rethrow_exception(error);
  } catch (const ValdError& e) {
    return e.Message();
  } catch (const std::exception& e) {
    return QString::fromLocal8Bit(e.what());
  } catch (...) {
    return QStringLiteral("an unknown error");
  }
}

void ArchiveWriter::Queue(std::deque<Job>& queue, Job job) {
  {
    const std::lock_guard lock(mutex_);
    queue.push_back(std::move(job));
  }
  queued_.notify_all();
}

void ArchiveWriter::TakeJobs() {
  // The connection belongs to this thread: it is opened, used and closed here.
  std::optional<ArchiveStore> store;
  OpenAhead(location_, zone_, store);
  {
    const std::lock_guard lock(mutex_);
    openedAhead_ = true;
  }
  queued_.notify_all();
  for (;;) {
    Job job;
    {
      std::unique_lock lock(mutex_);
      queued_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
      if (jobs_.empty()) break;
      job = std::move(jobs_.front());
      jobs_.pop_front();
    }
    try {
      if (!store) Open(location_, zone_, store);
      job.work(*store);
    } catch (...) {
      // The next job opens the archive again, as after a failure on a connection of its own.
      store.reset();
      job.failed(std::current_exception());
    }
  }
  // The checkpoints end first: the connection closed last moves what the log still holds.
  checkpointer_.reset();
}

void ArchiveWriter::TakeQuestions() {
  // Opened once the writer has brought the archive's schema up to date; until the first merge has made
  // a new archive file, the connection finds none and is opened again for each question.
  std::optional<ArchiveStore> store;
  for (;;) {
    Job job;
    {
      std::unique_lock lock(mutex_);
      queued_.wait(lock, [this] { return questionsEnd_ || (openedAhead_ && !questions_.empty()); });
      if (questions_.empty()) break;
      job = std::move(questions_.front());
      questions_.pop_front();
    }
    try {
      if (!store || !store->HoldsArchive()) store.emplace(location_, ArchiveAccess::ReadOnly, zone_);
      job.work(*store);
    } catch (...) {
      store.reset();
      job.failed(std::current_exception());
    }
  }
}
