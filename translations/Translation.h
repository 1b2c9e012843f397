#pragma once

#include <QString>

class QCoreApplication;

// The texts are written in Hungarian, the window's own language, and every text a user reads goes
// through QCoreApplication::translate, so that it comes out in the language of the translation
// installed. The English translation is part of the program (:/translations).

// Installs the window's translation into `language` ("en"). Hungarian needs none. Returns why the
// language could not be installed, empty when it was or none was needed.
QString InstallTranslation(QCoreApplication& application, const QString& language);

// The command-line tools speak English: the window's messages in its English translation.
void InstallEnglish(QCoreApplication& application);

// The language the texts come out in: "en" under the English translation, "hu" (their own) under none.
QString InstalledLanguage();
