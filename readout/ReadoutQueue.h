#pragma once

#include <QString>
#include <QStringList>
#include <mutex>
#include <optional>

// The devices of one "Összes lekérdezése" or vald_read run, in the order given: each is handed out once,
// to one reader after another or to several readers at once, and a cancel knows which were left unread.
class ReadoutQueue {
 public:
  explicit ReadoutQueue(QStringList hosts = {}) : hosts_(std::move(hosts)) {}

  // The place of the next device to read, or nothing when every device was handed out or the queue was
  // cancelled. Safe from several threads at once.
  std::optional<qsizetype> TakeNext();
  bool HasNext() const;
  const QString& Host(qsizetype index) const { return hosts_[index]; }
  qsizetype Count() const { return hosts_.size(); }

  // Ends the run: the device at `index`, whose readout was cancelled, and every device not yet handed
  // out are left unread.
  void Cancel(qsizetype index);
  // The devices a cancel left unread, in order; empty for a run that was not cancelled.
  QStringList Unread() const;

 private:
  mutable std::mutex mutex_;
  QStringList hosts_;
  qsizetype next_ = 0;
  std::optional<qsizetype> cancelledAt_;
};
