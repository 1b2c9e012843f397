#include "files/MeasurementFile.h"

#include "core/ValdError.h"
#include "decode/DeviceCatalogue.h"

QString AutomaticFileName(const QDateTime& localTime, int deviceCode) {
  const std::optional<DeviceType> type = LookUpDeviceType(deviceCode);
  if (!type) throw ValdError(QStringLiteral("No device"));
  const QDate date = localTime.date();
  const QTime time = localTime.time();
  const auto twoDigits = [](int value) { return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0')); };
  // Built digit by digit rather than with a date format, so no locale can change the digits.
  return twoDigits(date.year() % 100) + QLatin1Char('.') + twoDigits(date.month()) + QLatin1Char('.') +
         twoDigits(date.day()) + QLatin1Char(' ') + twoDigits(time.hour()) + QLatin1Char('.') +
         twoDigits(time.minute()) + QString::fromLatin1(MeasurementFileSuffix(*type));
}

QString SaveAutomaticMeasurementFile(const SharedState& state, const Environment& env) {
  const QString path = env.ProgramFile(AutomaticFileName(env.now(), state.DeviceCode));
  state.LogLines.SaveToFile(path);
  return path;
}
