#include "ValdReadProcess.h"

#include <QProcess>

ProcessResult RunValdRead(const QStringList& arguments, const QString& locale, const QString& timeZone,
                          const std::function<void()>& inChild) {
  QProcess process;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("LC_ALL"), locale);
  environment.insert(QStringLiteral("LANG"), locale);
  if (!timeZone.isEmpty()) environment.insert(QStringLiteral("TZ"), timeZone);
  process.setProcessEnvironment(environment);
  if (inChild) process.setChildProcessModifier(inChild);
  process.start(QStringLiteral(VALD_READ_PATH), arguments);
  ProcessResult result;
  if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit) return result;
  result.exitCode = process.exitCode();
  result.out = QString::fromUtf8(process.readAllStandardOutput());
  result.err = QString::fromUtf8(process.readAllStandardError());
  return result;
}
