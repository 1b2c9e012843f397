#include "core/OutputFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

OutputFile::OutputFile(const QString& path) {
  const QFileInfo target(path);
  direct_ = target.exists() && !target.isFile() && !target.isDir();
  if (direct_) {
    device_ = std::make_unique<QFile>(path);
  } else {
    device_ = std::make_unique<QSaveFile>(path);
  }
}

OutputFile::~OutputFile() = default;

bool OutputFile::Open(QIODevice::OpenMode mode) {
  return device_->open(mode);
}

bool OutputFile::Commit() {
  if (direct_) {
    const bool flushed = device_->flush();
    device_->close();
    return flushed && device_->error() == QFileDevice::NoError;
  }
  return static_cast<QSaveFile&>(*device_).commit();
}

void OutputFile::Cancel() {
  if (direct_) {
    device_->close();
  } else {
    static_cast<QSaveFile&>(*device_).cancelWriting();
  }
}
