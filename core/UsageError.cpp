#include "core/UsageError.h"

QString UsageErrorLine(const QString& program, const QString& error) {
  QString reason = error.simplified();
  while (reason.endsWith(QLatin1Char('.'))) reason.chop(1);
  return QStringLiteral("%1: %2; see %1 --help").arg(program, reason);
}
