#pragma once

#include <QString>
#include <QThread>
#include <condition_variable>
#include <memory>
#include <mutex>

// Moves an SQLite archive's write-ahead log into the archive file on a thread and a connection of its
// own while merges go on: a run of devices read at once writes tens of megabytes, which the writer's
// connection would otherwise move, waiting for the disk, when it closes. It never takes the write lock
// (a passive checkpoint takes what the log holds and leaves what is being written to the next one).
class WalCheckpointer {
 public:
  explicit WalCheckpointer(const QString& archivePath);
  ~WalCheckpointer();
  WalCheckpointer(const WalCheckpointer&) = delete;
  WalCheckpointer& operator=(const WalCheckpointer&) = delete;

  // A merge was committed: the log has more to move.
  void Committed();

 private:
  void Run();

  QString path_;
  std::mutex mutex_;
  std::condition_variable changed_;
  int commits_ = 0;
  bool stopping_ = false;
  std::unique_ptr<QThread> thread_;
};
