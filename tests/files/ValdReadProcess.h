#pragma once

#include <QString>
#include <QStringList>
#include <functional>

#include "support/ProgramRun.h"

// Runs vald_read with `arguments` in the locale `locale` and waits for it to end. `timeZone` sets TZ;
// `inChild` runs in the new process before vald_read starts.
ProcessResult RunValdRead(const QStringList& arguments, const QString& locale = QStringLiteral("C.UTF-8"),
                          const QString& timeZone = QString(), const std::function<void()>& inChild = {});
