#pragma once

#include <QString>

class QCoreApplication;

// Installs the window's translation into `language` ("en") from the program's own resources
// (:/translations). Hungarian, the language the texts are written in, needs none. Returns why the
// language could not be installed, empty when it was or none was needed.
QString InstallTranslation(QCoreApplication& application, const QString& language);
