#include "ScreenAreas.h"

#include <QGuiApplication>
#include <QScreen>

QList<QRect> AvailableScreenAreas() {
  QList<QRect> areas;
  const QScreen* primary = QGuiApplication::primaryScreen();
  if (primary) areas << primary->availableGeometry();
  for (const QScreen* screen : QGuiApplication::screens()) {
    if (screen != primary) areas << screen->availableGeometry();
  }
  return areas;
}
