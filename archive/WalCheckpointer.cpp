#include "archive/WalCheckpointer.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <atomic>

namespace {

// Committed merges between two checkpoints: a few megabytes of log each time.
constexpr int CommitsPerCheckpoint = 10;

}  // namespace

WalCheckpointer::WalCheckpointer(const QString& archivePath)
    : path_(archivePath), thread_(QThread::create([this] { Run(); })) {
  thread_->start();
}

WalCheckpointer::~WalCheckpointer() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_one();
  thread_->wait();
}

void WalCheckpointer::Committed() {
  {
    const std::lock_guard lock(mutex_);
    ++commits_;
  }
  changed_.notify_one();
}

void WalCheckpointer::Run() {
  static std::atomic<int> counter{0};
  const QString connection = QStringLiteral("vald_archive_checkpoint_%1").arg(counter++);
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
    db.setDatabaseName(path_);
    for (;;) {
      {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return stopping_ || commits_ >= CommitsPerCheckpoint; });
        if (stopping_) break;
        commits_ = 0;
      }
      // A failure leaves the log to the writer's connection, which moves it when it closes.
      if (db.isOpen() || db.open()) QSqlQuery(db).exec(QStringLiteral("PRAGMA wal_checkpoint(PASSIVE)"));
    }
    db.close();
  }
  QSqlDatabase::removeDatabase(connection);
}
