#include "core/ProgramModule.h"

#include <dlfcn.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QStringList>

#include "core/ValdError.h"

namespace {

// The folders a module is looked for in: the running program's own (a build tree, or a program
// folder of its own), then the installed module folder, relative to the installed program.
QStringList ModuleFolders() {
  const QDir programFolder = QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).absoluteDir();
  return {programFolder.absolutePath(),
          QDir::cleanPath(programFolder.filePath(QStringLiteral(VALD_MODULE_FOLDER_FROM_PROGRAM)))};
}

void* LoadModule(const char* module) {
  QStringList tried;
  QString failure;
  for (const QString& folder : ModuleFolders()) {
    const QString path = QDir(folder).filePath(QString::fromUtf8(module) + QStringLiteral(".so"));
    if (!QFileInfo::exists(path)) {
      tried << path;
      continue;
    }
    if (void* handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL)) return handle;
    failure = QString::fromLocal8Bit(dlerror());
    break;
  }
  if (failure.isEmpty()) failure = QStringLiteral("not found in %1").arg(tried.join(QStringLiteral(", ")));
  throw ValdError(
      QStringLiteral("Cannot load the program module %1: %2").arg(QString::fromUtf8(module), failure));
}

}  // namespace

void* ProgramModuleFunction(const char* module, const char* function) {
  // Readouts on several threads may ask at once; a module is loaded once and stays.
  static QMutex mutex;
  static QHash<QByteArray, void*> loaded;
  const QMutexLocker lock(&mutex);
  void*& handle = loaded[QByteArray(module)];
  if (!handle) handle = LoadModule(module);
  void* entry = dlsym(handle, function);
  if (!entry) {
    throw ValdError(QStringLiteral("The program module %1 has no %2")
                        .arg(QString::fromUtf8(module), QString::fromUtf8(function)));
  }
  return entry;
}
