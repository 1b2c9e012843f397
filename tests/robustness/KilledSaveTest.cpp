#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <thread>

#include "core/Environment.h"
#include "files/MeasurementFile.h"
#include "support/ChildProcess.h"
#include "support/TempFolder.h"

// A program killed while it saves a measurement file leaves the file as it was or as it was to become,
// never a part of either: the new content is complete before it takes the old file's name.

namespace {

const QString FileName = QStringLiteral("23.12.03 14.05 VALD_AGATE.csv");

// A log of `count` AGATE lines whose values depend on `seed`, about 30 bytes a line.
TextLines AgateLog(int count, int seed) {
  TextLines lines;
  for (int i = 0; i < count; ++i) {
    lines.Add("2023;12;03;14;05;" + QByteArray::number((i * seed) % 400) + ",5;" + QByteArray::number(i) +
              ",0;");
  }
  return lines;
}

// The two versions a child saves in turn: different lengths, different bytes.
const TextLines OldLog = AgateLog(40000, 3);
const TextLines NewLog = AgateLog(55000, 7);

void Save(const QString& programFolder, const TextLines& log) {
  Environment env;
  env.programFolder = programFolder;
  env.now = [] { return QDateTime(QDate(2023, 12, 3), QTime(14, 5)); };
  SaveAutomaticMeasurementFile(log, 2, env);
}

// How a child ended: the signal that killed it, or -1 when it exited.
int KillingSignal(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFSIGNALED(status) ? WTERMSIG(status) : -1;
}

struct KillPoint {
  int completedSaves;  // saves the child reports finished before the kill
  int delayUs;         // then this long into the next save
};

class KilledWhileSaving : public testing::TestWithParam<KillPoint> {};

TEST_P(KilledWhileSaving, LeavesOneCompleteVersion) {
  TempFolder folder;
  Save(folder.Path(), OldLog);
  int pipeEnds[2];
  ASSERT_EQ(pipe(pipeEnds), 0);

  // The child saves the two versions in turn for ever, reporting each finished save.
  const pid_t child = RunInChild([&] {
    close(pipeEnds[0]);
    for (int i = 1;; ++i) {
      Save(folder.Path(), i % 2 == 1 ? NewLog : OldLog);
      if (write(pipeEnds[1], "s", 1) != 1) return;
    }
  });
  ASSERT_GT(child, 0);
  close(pipeEnds[1]);
  char report;
  for (int i = 0; i < GetParam().completedSaves; ++i) ASSERT_EQ(read(pipeEnds[0], &report, 1), 1);
  std::this_thread::sleep_for(std::chrono::microseconds(GetParam().delayUs));
  kill(child, SIGKILL);
  close(pipeEnds[0]);

  EXPECT_EQ(KillingSignal(child), SIGKILL);
  const QByteArray content = folder.Read(FileName);
  EXPECT_TRUE(content == OldLog.Text() || content == NewLog.Text())
      << "a file of " << content.size() << " bytes is neither version";
}

INSTANTIATE_TEST_SUITE_P(Points, KilledWhileSaving,
                         testing::Values(KillPoint{0, 0}, KillPoint{0, 2000}, KillPoint{1, 0},
                                         KillPoint{1, 300}, KillPoint{1, 1000}, KillPoint{1, 3000},
                                         KillPoint{2, 0}, KillPoint{2, 500}, KillPoint{2, 2000},
                                         KillPoint{3, 6000}));

// The kernel stops the child exactly when its write passes `limitBytes`: a kill at a chosen byte of
// the new content, whatever the machine's speed.
class KilledAtByte : public testing::TestWithParam<rlim_t> {};

TEST_P(KilledAtByte, LeavesTheOldFile) {
  TempFolder folder;
  Save(folder.Path(), OldLog);

  const pid_t child = RunInChild([&] {
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = GetParam();
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, SIG_DFL);
    Save(folder.Path(), NewLog);
  });
  ASSERT_GT(child, 0);

  EXPECT_EQ(KillingSignal(child), SIGXFSZ);
  EXPECT_EQ(folder.Read(FileName), OldLog.Text());
}

INSTANTIATE_TEST_SUITE_P(Bytes, KilledAtByte,
                         testing::Values(rlim_t(0), rlim_t(1), rlim_t(16383), rlim_t(16384),
                                         rlim_t(NewLog.Text().size() / 2), rlim_t(NewLog.Text().size() - 1)));

}  // namespace
