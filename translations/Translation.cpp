#include "translations/Translation.h"

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

void InstallEnglish(QCoreApplication& application) {
  // Built into every program that links this library, so it is always there.
  InstallTranslation(application, QStringLiteral("en"));
}

QString InstalledLanguage() {
  return QCoreApplication::translate("Translation", "hu",
                                     "the code of the language the texts are translated into");
}
