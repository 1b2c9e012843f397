#include "files/MeasurementFile.h"

#include <QFileInfo>
#include <algorithm>

#include "core/BoundedFile.h"
#include "core/ValdError.h"
#include "decode/DeviceCatalogue.h"
#include "files/MeasurementLine.h"

namespace {

// A readout never replaces another device's file of the same minute: further files of the minute are
// numbered, the number before the type name so that "Megnyitás" still finds the type.
constexpr int MostFilesOfAMinute = 99;

// Whether the file at `path` holds another device's readout: its newest line is a record (five time
// columns) that the log in `lines` does not hold. A device read again within the minute still holds it;
// an empty file or one of other lines is nobody's and is replaced.
bool HoldsAnotherLog(const QString& path, const TextLines& lines) {
  TextLines existing;
  existing.SetText(ReadTextFile(path, MaxMeasurementFileBytes));
  if (existing.IsEmpty()) return false;
  TextLines newest;
  newest.Add(existing.Lines().back());
  if (ReadMeasurementLines(newest).records.front().timeCount < LogRecord::TimeColumns) return false;
  const QList<QByteArray>& ours = lines.Lines();
  return std::find(ours.rbegin(), ours.rend(), newest.Lines().front()) == ours.rend();
}

}  // namespace

QString AutomaticFileName(const QDateTime& localTime, int deviceCode, int number) {
  const std::optional<DeviceType> type = LookUpDeviceType(deviceCode);
  if (!type) throw ValdError(QStringLiteral("No device"));
  const QDate date = localTime.date();
  const QTime time = localTime.time();
  const auto twoDigits = [](int value) { return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0')); };
  // Built digit by digit rather than with a date format, so no locale can change the digits.
  return twoDigits(date.year() % 100) + QLatin1Char('.') + twoDigits(date.month()) + QLatin1Char('.') +
         twoDigits(date.day()) + QLatin1Char(' ') + twoDigits(time.hour()) + QLatin1Char('.') +
         twoDigits(time.minute()) + (number > 1 ? QStringLiteral(" (%1)").arg(number) : QString()) +
         QString::fromLatin1(MeasurementFileSuffix(*type));
}

QString SaveAutomaticMeasurementFile(const TextLines& lines, int deviceCode, const Environment& env) {
  const QDateTime now = env.now();
  QString path = env.ProgramFile(AutomaticFileName(now, deviceCode));
  for (int number = 2; QFileInfo(path).isFile() && HoldsAnotherLog(path, lines); ++number) {
    if (number > MostFilesOfAMinute)
      throw ValdError(
          QStringLiteral("Cannot create file \"%1\". Too many readouts of this minute.").arg(path));
    path = env.ProgramFile(AutomaticFileName(now, deviceCode, number));
  }
  lines.SaveToFile(path);
  return path;
}
