#include "Translation.h"

#include <QCoreApplication>
#include <QTranslator>

QString InstallTranslation(QCoreApplication& application, const QString& language) {
  if (language.isEmpty() || language == QLatin1String("hu")) return {};
  auto* translator = new QTranslator(&application);
  if (translator->load(QStringLiteral("vald_csv_") + language, QStringLiteral(":/translations"))) {
    QCoreApplication::installTranslator(translator);
    return {};
  }
  delete translator;
  return QStringLiteral("No translation into \"%1\": the window stays Hungarian.").arg(language);
}
