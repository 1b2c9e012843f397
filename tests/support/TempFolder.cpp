#include "support/TempFolder.h"

#include <QFile>
#include <stdexcept>

TempFolder::TempFolder() {
  if (!dir_.isValid()) throw std::runtime_error("cannot create a temporary folder");
}

void TempFolder::Write(const QString& name, const QByteArray& content) const {
  QFile file(File(name));
  if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size()) {
    throw std::runtime_error("cannot write test file");
  }
}

QByteArray TempFolder::Read(const QString& name) const {
  QFile file(File(name));
  if (!file.open(QIODevice::ReadOnly)) throw std::runtime_error("cannot read test file");
  return file.readAll();
}

bool TempFolder::Exists(const QString& name) const {
  return QFile::exists(File(name));
}
