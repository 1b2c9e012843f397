#include "core/UsageError.h"

QString UsageErrorLine(const QString& program, const QString& error) {
  QString reason = error.simplified();
  if (!reason.endsWith(QLatin1Char('.'))) reason += QLatin1Char('.');
  return QStringLiteral("%1 See %2 --help.").arg(reason, program);
}
