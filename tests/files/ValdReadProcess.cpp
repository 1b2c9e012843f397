#include "ValdReadProcess.h"

ProcessResult RunValdRead(const QStringList& arguments, const QString& locale, const QString& timeZone,
                          const std::function<void()>& inChild) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("LC_ALL"), locale);
  environment.insert(QStringLiteral("LANG"), locale);
  if (!timeZone.isEmpty()) environment.insert(QStringLiteral("TZ"), timeZone);
  return RunProgram(QStringLiteral(VALD_READ_PATH), arguments, environment, inChild);
}
