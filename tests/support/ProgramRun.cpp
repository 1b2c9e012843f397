#include "support/ProgramRun.h"

#include <QProcess>

ProcessResult RunProgram(const QString& program, const QStringList& arguments,
                         const QProcessEnvironment& environment, const std::function<void()>& inChild) {
  QProcess process;
  process.setProcessEnvironment(environment);
  if (inChild) process.setChildProcessModifier(inChild);
  process.start(program, arguments);
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
