#include "AlarmNotify.h"

#include <signal.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QProcess>

namespace {

// A number as the command line reads it: "." before the decimals, no unit.
QString Number(double value) {
  return QString::number(value, 'g', 12);
}

QProcessEnvironment EventEnvironment(AlarmKind kind, AlarmEvent event, const QString& device,
                                     const QString& type) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("VALD_EVENT"), QString::fromLatin1(AlarmEventKey(event)));
  environment.insert(QStringLiteral("VALD_KIND"), QString::fromLatin1(AlarmKindKey(kind)));
  environment.insert(QStringLiteral("VALD_DEVICE"), device);
  environment.insert(QStringLiteral("VALD_TYPE"), type);
  return environment;
}

constexpr char NotStoppedText[] = "not notified: vald_read was stopped";

}  // namespace

QProcessEnvironment NotifyEnvironment(const LogAlarms& alarms, const Alarm& alarm, AlarmEvent event) {
  const Quantity& quantity = QuantityOf(alarms.type->columns[size_t(alarm.column)]);
  QProcessEnvironment environment =
      EventEnvironment(AlarmKind::Limit, event, alarms.device, QString::fromLatin1(alarms.type->name));
  environment.insert(QStringLiteral("VALD_CHANNEL"), QString::number(alarm.column + 1));
  environment.insert(QStringLiteral("VALD_QUANTITY"), QString::fromLatin1(quantity.key));
  environment.insert(QStringLiteral("VALD_UNIT"), QString::fromUtf8(quantity.unit));
  environment.insert(QStringLiteral("VALD_LIMIT"), QString::fromLatin1(LimitSideKey(alarm.side)));
  environment.insert(QStringLiteral("VALD_LIMIT_VALUE"), Number(alarm.limit));
  environment.insert(QStringLiteral("VALD_START"), RecordTimeIso(alarm.start, alarms.zone));
  environment.insert(QStringLiteral("VALD_END"), RecordTimeIso(alarm.end, alarms.zone));
  environment.insert(QStringLiteral("VALD_RECORDS"), QString::number(alarm.records));
  environment.insert(QStringLiteral("VALD_EXTREME"), Number(alarm.extreme));
  return environment;
}

QProcessEnvironment NotifyEnvironment(const QString& device, const QString& type, const DeviceAlarm& alarm,
                                      AlarmEvent event) {
  QProcessEnvironment environment = EventEnvironment(alarm.kind, event, device, type);
  environment.insert(QStringLiteral("VALD_START"), alarm.start.toString(Qt::ISODate));
  environment.insert(QStringLiteral("VALD_END"), alarm.end.toString(Qt::ISODate));
  environment.insert(QStringLiteral("VALD_AGE_MINUTES"),
                     alarm.newestRecordAgeMinutes ? Number(*alarm.newestRecordAgeMinutes) : QString());
  return environment;
}

QString NotifyAlarm(const QString& command, const QProcessEnvironment& environment, QTextStream& err,
                    const NotifyLimits& limits, const QElapsedTimer& runClock,
                    const std::function<bool()>& stopRequested) {
  if (stopRequested()) return QString::fromLatin1(NotStoppedText);
  const qint64 runLeftMs = qint64(limits.totalSeconds) * 1000 - runClock.elapsed();
  if (runLeftMs <= 0) {
    return QStringLiteral("not notified: the notify commands of this run took %1 s").arg(limits.totalSeconds);
  }
  const bool runLimited = runLeftMs < qint64(limits.commandSeconds) * 1000;
  QDeadlineTimer deadline(std::min(runLeftMs, qint64(limits.commandSeconds) * 1000));
  QProcess process;
  process.setProcessEnvironment(environment);
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.setStandardInputFile(QProcess::nullDevice());
  // A group of its own, so that what the command started is stopped with it.
  process.setChildProcessModifier([] { setpgid(0, 0); });
  process.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), command});
  if (!process.waitForStarted()) return QStringLiteral("the notify command did not start");
  const qint64 group = process.processId();
  qint64 shown = 0;
  bool finished = false;
  while (!finished && !deadline.hasExpired() && !stopRequested()) {
    finished = process.waitForFinished(int(std::min<qint64>(deadline.remainingTime(), 100)));
    const QByteArray output = process.readAll();
    const qint64 kept = std::min(qint64(output.size()), limits.shownOutputBytes - shown);
    if (kept > 0) err << QString::fromLocal8Bit(output.left(kept));
    shown += output.size();
  }
  if (shown > limits.shownOutputBytes)
    err << "\n[notify output cut after " << limits.shownOutputBytes << " of " << shown << " bytes]\n";
  err.flush();
  if (!finished) {
    kill(-pid_t(group), SIGKILL);
    process.waitForFinished();
    if (stopRequested()) return QStringLiteral("the notify command was stopped: vald_read was stopped");
    return runLimited
               ? QStringLiteral("the notify command was stopped: the notify commands of this run took %1 s")
                     .arg(limits.totalSeconds)
               : QStringLiteral("the notify command ran longer than %1 s and was stopped")
                     .arg(limits.commandSeconds);
  }
  if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
    return QStringLiteral("the notify command ended with status %1").arg(process.exitCode());
  }
  return {};
}
