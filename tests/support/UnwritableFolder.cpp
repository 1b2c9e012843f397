#include "support/UnwritableFolder.h"

#include <unistd.h>

#include <QFile>
#include <stdexcept>

namespace {

constexpr QFile::Permissions ReadAndEnter = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                            QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;

}  // namespace

UnwritableFolder::UnwritableFolder() {
  if (geteuid() == 0) {
    path_ = QStringLiteral("/proc");
    return;
  }
  if (!dir_.isValid() || !QFile::setPermissions(dir_.path(), ReadAndEnter)) {
    throw std::runtime_error("cannot create a read-only temporary folder");
  }
  path_ = dir_.path();
}

UnwritableFolder::~UnwritableFolder() {
  // The temporary folder can only be removed once it takes changes again.
  if (path_ == dir_.path()) QFile::setPermissions(dir_.path(), ReadAndEnter | QFile::WriteOwner);
}
