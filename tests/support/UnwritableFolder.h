#pragma once

#include <QString>
#include <QTemporaryDir>

// A folder in which creating a file really fails, like /usr/bin for an ordinary user. For such a user it
// is a fresh temporary folder of mode 0555. Root ignores file modes, so for root it is /proc, where the
// kernel refuses new files to everyone: the tests keep probing a real folder instead of pretending.
class UnwritableFolder {
 public:
  UnwritableFolder();
  ~UnwritableFolder();
  UnwritableFolder(const UnwritableFolder&) = delete;
  UnwritableFolder& operator=(const UnwritableFolder&) = delete;

  QString Path() const { return path_; }

 private:
  QTemporaryDir dir_;
  QString path_;
};
