// Replays inputs through a harness's LLVMFuzzerTestOneInput without libFuzzer: every file named on
// the command line, and every file inside a folder named there. A broken property aborts, so the
// corpus is a regression suite under any compiler.

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <cstdio>

#include "core/BoundedFile.h"
#include "core/ValdError.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

// Far more than any input the fuzzers make.
constexpr qint64 MaxInputBytes = 16 * 1024 * 1024;

void Replay(const QString& path) {
  const QByteArray input = ReadWholeFile(path, MaxInputBytes);
  LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.constData()), size_t(input.size()));
}

}  // namespace

int main(int argc, char** argv) {
  int replayed = 0;
  try {
    for (int i = 1; i < argc; ++i) {
      const QString argument = QString::fromLocal8Bit(argv[i]);
      if (!QFileInfo(argument).isDir()) {
        Replay(argument);
        ++replayed;
        continue;
      }
      QStringList files;
      QDirIterator found(argument, QDir::Files, QDirIterator::Subdirectories);
      while (found.hasNext()) files.append(found.next());
      files.sort();
      for (const QString& file : files) {
        Replay(file);
        ++replayed;
      }
    }
  } catch (const ValdError& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
  std::printf("%d inputs replayed\n", replayed);
  return replayed > 0 ? 0 : 1;
}
