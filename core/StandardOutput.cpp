#include "core/StandardOutput.h"

#include <cstdio>

bool StandardOutputComplete(QTextStream& out) {
  out.flush();
  return out.status() == QTextStream::Ok && std::fflush(stdout) == 0 && !std::ferror(stdout);
}
