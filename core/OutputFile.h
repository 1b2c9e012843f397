#pragma once

#include <QFileDevice>
#include <QString>
#include <memory>

// Where a file that is written whole goes. An ordinary file (a new one, or one a link points to) is
// written into a temporary file beside it that replaces it only once complete, with the old file's
// mode; anything else the path names (a device such as /dev/null, a named pipe) is written into
// directly, as replacing it with an ordinary file would take it away from its readers.
class OutputFile {
 public:
  explicit OutputFile(const QString& path);
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Opens the file for writing; false with errorString() set when it cannot be.
  bool Open(QIODevice::OpenMode mode = QIODevice::WriteOnly);
  QFileDevice& Device() { return *device_; }
  QString ErrorString() const { return device_->errorString(); }
  // Puts the written file in place; false when that failed (ErrorString says why).
  bool Commit();
  // Drops what was written: an ordinary file stays as it was.
  void Cancel();

 private:
  std::unique_ptr<QFileDevice> device_;
  bool direct_ = false;
};
