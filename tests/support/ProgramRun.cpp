#include "support/ProgramRun.h"

#include <QProcess>
#include <memory>

namespace {

void Start(QProcess& process, const QString& program, const QStringList& arguments,
           const QProcessEnvironment& environment, const std::function<void()>& inChild) {
  process.setProcessEnvironment(environment);
  if (inChild) process.setChildProcessModifier(inChild);
  process.start(program, arguments);
}

// Waits (up to two minutes) for the started `process` to end.
ProcessResult Finish(QProcess& process) {
  ProcessResult result;
  const bool finished = process.waitForFinished(120000);
  if (!finished) {
    process.kill();
    process.waitForFinished();
  }
  if (finished && process.exitStatus() == QProcess::NormalExit) result.exitCode = process.exitCode();
  // What a crashed or killed run printed tells why it ended.
  result.out = QString::fromUtf8(process.readAllStandardOutput());
  result.err = QString::fromUtf8(process.readAllStandardError());
  return result;
}

}  // namespace

ProcessResult RunProgram(const QString& program, const QStringList& arguments,
                         const QProcessEnvironment& environment, const std::function<void()>& inChild) {
  QProcess process;
  Start(process, program, arguments, environment, inChild);
  return Finish(process);
}

std::vector<ProcessResult> RunProgramsAtOnce(const QString& program, const std::vector<QStringList>& runs,
                                             const QProcessEnvironment& environment) {
  std::vector<std::unique_ptr<QProcess>> processes;
  for (const QStringList& arguments : runs) {
    processes.push_back(std::make_unique<QProcess>());
    Start(*processes.back(), program, arguments, environment, {});
  }
  std::vector<ProcessResult> results;
  for (const std::unique_ptr<QProcess>& process : processes) results.push_back(Finish(*process));
  return results;
}
