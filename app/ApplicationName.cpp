#include "ApplicationName.h"

#include <QGuiApplication>

void NameApplication() {
  QGuiApplication::setApplicationName(QStringLiteral("vald_csv"));
  QGuiApplication::setApplicationDisplayName(QStringLiteral("VALD CSV"));
  QGuiApplication::setDesktopFileName(QStringLiteral("vald_csv"));
}
