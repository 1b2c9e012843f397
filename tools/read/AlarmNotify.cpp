#include "AlarmNotify.h"

#include <QProcess>

namespace {

constexpr int NotifyTimeoutMs = 60000;

// A number as the command line reads it: "." before the decimals, no unit.
QString Number(double value) {
  return QString::number(value, 'g', 12);
}

}  // namespace

QString NotifyAlarm(const QString& command, const LogAlarms& alarms, const Alarm& alarm, QTextStream& err) {
  const Quantity& quantity = QuantityOf(alarms.type->columns[size_t(alarm.column)]);
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("VALD_DEVICE"), alarms.device);
  environment.insert(QStringLiteral("VALD_TYPE"), QString::fromLatin1(alarms.type->name));
  environment.insert(QStringLiteral("VALD_CHANNEL"), QString::number(alarm.column + 1));
  environment.insert(QStringLiteral("VALD_QUANTITY"), QString::fromLatin1(quantity.key));
  environment.insert(QStringLiteral("VALD_UNIT"), QString::fromUtf8(quantity.unit));
  environment.insert(QStringLiteral("VALD_LIMIT"), QString::fromLatin1(LimitSideKey(alarm.side)));
  environment.insert(QStringLiteral("VALD_LIMIT_VALUE"), Number(alarm.limit));
  environment.insert(QStringLiteral("VALD_START"), RecordTimeText(alarm.start));
  environment.insert(QStringLiteral("VALD_END"), RecordTimeText(alarm.end));
  environment.insert(QStringLiteral("VALD_RECORDS"), QString::number(alarm.records));
  environment.insert(QStringLiteral("VALD_EXTREME"), Number(alarm.extreme));
  QProcess process;
  process.setProcessEnvironment(environment);
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.setStandardInputFile(QProcess::nullDevice());
  process.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), command});
  const bool finished = process.waitForFinished(NotifyTimeoutMs);
  err << QString::fromLocal8Bit(process.readAll());
  err.flush();
  if (!finished && process.state() != QProcess::NotRunning) {
    process.kill();
    process.waitForFinished();
    return QStringLiteral("the notify command ran longer than %1 s and was stopped")
        .arg(NotifyTimeoutMs / 1000);
  }
  if (process.error() == QProcess::FailedToStart) return QStringLiteral("the notify command did not start");
  if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
    return QStringLiteral("the notify command ended with status %1").arg(process.exitCode());
  }
  return {};
}
