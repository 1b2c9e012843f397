#pragma once

#include <QDateTime>
#include <QList>
#include <QRect>
#include <QSize>
#include <QString>
#include <functional>

// What the program takes from its surroundings. The core receives these values instead of asking the
// system, so tests choose them.
struct Environment {
  // The decimal separator of the user's regional settings.
  char systemDecimalSeparator = '.';
  // The current local date and time.
  std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };
  // The primary screen's size in pixels.
  QSize screenSize{1920, 1080};
  // The available areas of the screens (without task bars), the primary first; none: the whole primary
  // screen of screenSize.
  QList<QRect> availableScreens;
  // The program's folder: the working directory of every file operation, beside the executable or the
  // user's data folder (see DataFolder.h).
  QString programFolder;
  // The archive every readout merges into: a file path (relative to the program folder), a PostgreSQL
  // URL, or empty or "off" for none. The window and vald_read set their default; tests set none.
  QString archive;
  // The site's time zone, which gives the archived records' UTC times: an IANA name
  // ("Europe/Budapest"), or empty for the system's.
  QString timeZone;
  // Off: a readout goes into the archive only, without its automatic measurement file
  // (vald_read --no-files).
  bool writeMeasurementFiles = true;

  QList<QRect> AvailableScreens() const {
    return availableScreens.isEmpty() ? QList<QRect>{QRect(QPoint(0, 0), screenSize)} : availableScreens;
  }

  // A file name without a folder lies in the program's folder.
  QString ProgramFile(const QString& name) const {
    return programFolder.isEmpty() ? name : programFolder + QLatin1Char('/') + name;
  }
};
