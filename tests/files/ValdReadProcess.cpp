#include "ValdReadProcess.h"

#include <QProcess>

ProcessResult RunValdRead(const QStringList& arguments, const QString& locale) {
  QProcess process;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("LC_ALL"), locale);
  environment.insert(QStringLiteral("LANG"), locale);
  process.setProcessEnvironment(environment);
  process.start(QStringLiteral(VALD_READ_PATH), arguments);
  ProcessResult result;
  if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit) return result;
  result.exitCode = process.exitCode();
  result.out = QString::fromUtf8(process.readAllStandardOutput());
  result.err = QString::fromUtf8(process.readAllStandardError());
  return result;
}
