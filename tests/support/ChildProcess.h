#pragma once

#include <sys/types.h>
#include <unistd.h>

// Runs `work` in a child process that never returns into the test; exit code 2 reports an exception.
template <typename Work>
pid_t RunInChild(Work work) {
  const pid_t pid = fork();
  if (pid == 0) {
    try {
      work();
    } catch (...) {
      _exit(2);
    }
    _exit(0);
  }
  return pid;
}
