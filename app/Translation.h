#pragma once

#include <QString>

class QCoreApplication;

// Installs the window's translation into `language` ("en") from the translations beside the program
// (<folder>/translations, a build tree or a portable copy) or of its installation
// (<folder>/../share/vald_csv/translations). Hungarian, the language the texts are written in, needs none.
// Returns why the language could not be installed, empty when it was or none was needed.
QString InstallTranslation(QCoreApplication& application, const QString& language,
                           const QString& executableFolder);
