#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

// What a program run printed and how it ended; exitCode -1 when it did not end normally.
struct ProcessResult {
  int exitCode = -1;
  QString out;
  QString err;
};

// Runs `program` with `arguments` in `environment` and waits (up to two minutes) for it to end.
// `inChild` runs in the new process before the program starts.
ProcessResult RunProgram(const QString& program, const QStringList& arguments,
                         const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment(),
                         const std::function<void()>& inChild = {});

// Starts `program` once for each of `runs` (its arguments), all at once, and waits for every one to end:
// the results in the order of `runs`.
std::vector<ProcessResult> RunProgramsAtOnce(
    const QString& program, const std::vector<QStringList>& runs,
    const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());
