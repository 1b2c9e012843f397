#include "support/ProgramRun.h"

#include <QProcess>

ProcessResult RunProgram(const QString& program, const QStringList& arguments,
                         const QProcessEnvironment& environment, const std::function<void()>& inChild) {
  QProcess process;
  process.setProcessEnvironment(environment);
  if (inChild) process.setChildProcessModifier(inChild);
  process.start(program, arguments);
  ProcessResult result;
  if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit) return result;
  result.exitCode = process.exitCode();
  result.out = QString::fromUtf8(process.readAllStandardOutput());
  result.err = QString::fromUtf8(process.readAllStandardError());
  return result;
}
