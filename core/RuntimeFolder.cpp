#include "core/RuntimeFolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <QDir>
#include <QFile>

namespace {

constexpr char RuntimeVariable[] = "XDG_RUNTIME_DIR";

// A folder that is the user's alone: not a link, owned by the user, no access for anybody else.
bool IsPrivateFolder(const QByteArray& path) {
  struct stat info {};
  return lstat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == geteuid() &&
         (info.st_mode & 0777) == 0700;
}

}  // namespace

QString PrepareRuntimeFolder() {
  if (!qEnvironmentVariableIsEmpty(RuntimeVariable)) return qEnvironmentVariable(RuntimeVariable);
  const QByteArray folder =
      QFile::encodeName(QDir::tempPath() + QStringLiteral("/runtime-%1").arg(geteuid()));
  if (mkdir(folder.constData(), 0700) == 0) {
    chmod(folder.constData(), 0700);  // whatever the umask took away
  } else if (errno != EEXIST) {
    return QString();
  }
  if (!IsPrivateFolder(folder)) return QString();
  qputenv(RuntimeVariable, folder);
  return QFile::decodeName(folder);
}
