// vald_read: the headless front end over the same core as the main window. It reads the whole log of
// one or more devices, one after another, and writes each one's automatic measurement file.

#include <QCoreApplication>
#include <QDir>
#include <QHash>
#include <QLocale>
#include <QTextStream>
#include <csignal>

#include "ReadOptions.h"
#include "archive/ArchiveLocation.h"
#include "core/ValdError.h"
#include "core/Win1250.h"
#include "operations/Readout.h"

namespace {

constexpr int ExitComplete = 0;
constexpr int ExitIncomplete = 1;
constexpr int ExitUsage = 2;

// "3, 7-95": the unanswered blocks, runs of consecutive numbers joined.
QString BlockList(const QList<int>& blocks) {
  QStringList parts;
  for (qsizetype i = 0; i < blocks.size();) {
    qsizetype last = i;
    while (last + 1 < blocks.size() && blocks[last + 1] == blocks[last] + 1) ++last;
    parts.append(last == i ? QString::number(blocks[i])
                           : QStringLiteral("%1-%2").arg(blocks[i]).arg(blocks[last]));
    i = last + 1;
  }
  return parts.join(QStringLiteral(", "));
}

char SystemDecimalSeparator() {
  const QByteArray point = ToWin1250(QLocale::system().decimalPoint());
  return point.size() == 1 ? point[0] : '.';
}

// How the readout of one device went.
struct DeviceResult {
  QString text;           // the file written, or why the readout failed
  QString file;           // the measurement file written, empty if none
  bool complete = false;  // the whole log arrived and its file was written
};

// Reads one device into a fresh state, as one "Lekérdezés" does.
DeviceResult ReadOneDevice(const ReadOptions& options, const Environment& env, const QString& host) {
  SharedState state;
  // One separator for every value, so that the file opens again on a system with that separator.
  state.DecimalSeparatorText = QByteArray(1, env.systemDecimalSeparator);
  // The views are drawn as in the window: a log they refuse is reported.
  WindowModel view;
  DeviceLink link;
  link.port = options.port;
  QTextStream progress(stderr);
  ReadoutResult result;
  try {
    ReadDeviceLog(state, view, link, env, host, result, [&](int block, int blockCount) {
      progress << host << ": block " << block + 1 << " of " << blockCount << Qt::endl;
    });
    if (!result.deviceFound()) return {QStringLiteral("No device"), QString(), false};
    if (!result.blocksWithoutReply.isEmpty()) {
      return {QStringLiteral("%1 (incomplete log: no reply for blocks %2)")
                  .arg(result.measurementFile, BlockList(result.blocksWithoutReply)),
              result.measurementFile, false};
    }
    if (!result.archiveError.isEmpty()) {
      return {QStringLiteral("%1 (not archived: %2)").arg(result.measurementFile, result.archiveError),
              result.measurementFile, false};
    }
    return {result.measurementFile, result.measurementFile, true};
  } catch (const ValdError& error) {
    // A view error comes after the file was written: the line names both.
    if (result.measurementFile.isEmpty()) return {error.Message(), QString(), false};
    return {QStringLiteral("%1 (%2)").arg(result.measurementFile, error.Message()), result.measurementFile,
            false};
  }
}

}  // namespace

int main(int argc, char** argv) {
  // Under a file-size limit (ulimit -f) a write past it then fails with its reason, reported on the
  // device's line with the old file kept, instead of the signal ending the program.
  std::signal(SIGXFSZ, SIG_IGN);
  QCoreApplication app(argc, argv);
  QTextStream out(stdout);
  QTextStream err(stderr);
  const ParsedCommandLine commandLine = ParseReadOptions(app.arguments());
  if (commandLine.helpRequested) {
    out << ReadUsage();
    return ExitComplete;
  }
  if (!commandLine.options) {
    err << commandLine.error << "\n\n" << ReadUsage();
    return ExitUsage;
  }
  const ReadOptions& options = *commandLine.options;

  Environment env;
  env.programFolder = options.outFolder;
  env.systemDecimalSeparator = options.decimalSeparator.value_or(SystemDecimalSeparator());
  // A relative archive path names a file from the current folder, as every path of the command line.
  env.archive = options.archive.isEmpty()
                    ? QDir(options.outFolder).filePath(QString::fromLatin1(DefaultArchiveFileName))
                    : options.archive;
  try {
    if (ParseArchiveLocation(env.archive, QString()).engine == ArchiveLocation::Engine::SQLite) {
      env.archive = QDir(env.archive).absolutePath();
    }
  } catch (const ValdError& error) {
    err << error.Message() << "\n\n" << ReadUsage();
    return ExitUsage;
  }
  if (options.fileNameTime) env.now = [time = *options.fileNameTime] { return time; };

  int status = ExitComplete;
  // Devices of one type read within the same minute share the automatic file name: the later file
  // replaces the earlier one, so the earlier device's log is no longer on disk.
  QHash<QString, QString> hostOfFile;
  for (const QString& host : options.hosts) {
    DeviceResult result = ReadOneDevice(options, env, host);
    if (!result.file.isEmpty()) {
      if (const auto earlier = hostOfFile.constFind(result.file); earlier != hostOfFile.constEnd()) {
        result.text += QStringLiteral(" (replaced the file of %1)").arg(*earlier);
        status = ExitIncomplete;
      }
      hostOfFile.insert(result.file, host);
    }
    out << host << ": " << result.text << Qt::endl;
    if (!result.complete) status = ExitIncomplete;
  }
  return status;
}
