#include "Translation.h"

#include <QCoreApplication>
#include <QTranslator>

QString InstallTranslation(QCoreApplication& application, const QString& language,
                           const QString& executableFolder) {
  if (language.isEmpty() || language == QLatin1String("hu")) return {};
  auto* translator = new QTranslator(&application);
  const QString name = QStringLiteral("vald_csv_") + language;
  for (const QString& folder : {executableFolder + QStringLiteral("/translations"),
                                executableFolder + QStringLiteral("/../share/vald_csv/translations")}) {
    if (translator->load(name, folder)) {
      QCoreApplication::installTranslator(translator);
      return {};
    }
  }
  delete translator;
  return QStringLiteral("No translation into \"%1\": the window stays Hungarian.").arg(language);
}
