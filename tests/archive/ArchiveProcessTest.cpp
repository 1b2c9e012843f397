#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include "ArchiveFixture.h"
#include "support/ChildProcess.h"

// Programs on one SQLite archive file: two merging at once both complete; one killed while it merges
// leaves the archive as before or as after, never between.

namespace {

struct Ending {
  int exitCode = -1;  // -1 when killed
  int signal = -1;    // -1 when it exited
};

Ending WaitFor(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFSIGNALED(status)) return {-1, WTERMSIG(status)};
  return {WEXITSTATUS(status), -1};
}

ArchiveLocation FileIn(const TempFolder& folder) {
  return ParseArchiveLocation(QStringLiteral("archive.sqlite"), folder.Path());
}

TEST(ArchiveFile, TwoProgramsMergingAtOnceBothComplete) {
  TempFolder folder;
  const ArchiveLocation location = FileIn(folder);
  ArchiveStore(location).Merge(AgateReadout(AgateLines(0, 1)));
  int start[2];
  ASSERT_EQ(pipe(start), 0);
  // Each program merges twenty readouts of its own device, all released at the same moment.
  QList<pid_t> children;
  for (const QString& mac : {QStringLiteral("00:00:00:00:00:01"), QStringLiteral("00:00:00:00:00:02")}) {
    children << RunInChild([&] {
      close(start[1]);
      char go;
      if (read(start[0], &go, 1) != 0) return;
      ArchiveStore store(location);
      for (int readout = 0; readout < 20; ++readout)
        store.Merge(AgateReadout(AgateLines(readout * 250, 500), mac));
    });
  }
  close(start[0]);
  close(start[1]);
  for (pid_t child : children) EXPECT_EQ(WaitFor(child).exitCode, 0);

  ArchiveStore store(location);
  for (const QString& mac : {QStringLiteral("00:00:00:00:00:01"), QStringLiteral("00:00:00:00:00:02")}) {
    const std::optional<ArchivedDevice> device = store.FindDevice(mac);
    ASSERT_TRUE(device);
    EXPECT_EQ(store.Lines(device->id, "", ""), AgateLines(0, 19 * 250 + 500));
  }
}

// The kernel stops the child when its writes pass `limitBytes` in any file: a kill at a chosen byte of
// the merge, whatever the machine's speed.
class KilledDuringMerge : public testing::TestWithParam<rlim_t> {};

TEST_P(KilledDuringMerge, LeavesTheArchiveAsBeforeOrAsAfter) {
  TempFolder folder;
  const ArchiveLocation location = FileIn(folder);
  const QList<QByteArray> before = AgateLines(0, 1000);
  const QList<QByteArray> after = AgateLines(0, 20000);
  ArchiveStore(location).Merge(AgateReadout(before));

  const pid_t child = RunInChild([&] {
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = GetParam();
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, SIG_DFL);
    ArchiveStore(location).Merge(AgateReadout(after));
  });
  ASSERT_GT(child, 0);
  EXPECT_EQ(WaitFor(child).signal, SIGXFSZ);

  ArchiveStore store(location);
  const QList<QByteArray> lines = store.Lines(store.Devices()[0].id, "", "");
  EXPECT_TRUE(lines == before || lines == after) << lines.size() << " lines are neither version";
}

INSTANTIATE_TEST_SUITE_P(Bytes, KilledDuringMerge,
                         testing::Values(rlim_t(0), rlim_t(4096), rlim_t(32768), rlim_t(200000),
                                         rlim_t(600000)));

}  // namespace
