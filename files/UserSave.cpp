#include "files/UserSave.h"

#include <algorithm>

#include "core/Win1250.h"

QString UserSaveFileName(const QString& chosenPath, const QByteArray& deviceLabel) {
  const QString stem = chosenPath.left(std::max<qsizetype>(0, chosenPath.size() - 4));
  return stem + QLatin1Char('_') + FromWin1250(deviceLabel) + QStringLiteral(".csv");
}

QString SaveUserMeasurementFile(const TextLines& lines, const QByteArray& deviceLabel,
                                const QString& chosenPath) {
  const QString path = UserSaveFileName(chosenPath, deviceLabel);
  lines.SaveToFile(path);
  return path;
}
