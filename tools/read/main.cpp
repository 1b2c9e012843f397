// vald_read: the headless front end over the same core as the main window. It reads the whole log of
// one or more devices, several at once, and writes each one's automatic measurement file.

#include <unistd.h>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLocale>
#include <QTextStream>

#include <csignal>
#include <mutex>
#include <optional>

#include "AlarmNotify.h"
#include "DeviceReadout.h"
#include "HostList.h"
#include "ParallelReadout.h"
#include "ReadOptions.h"
#include "ResultLine.h"
#include "archive/ArchiveLocation.h"
#include "archive/ArchiveWriter.h"
#include "archive/SiteTime.h"
#include "core/StandardOutput.h"
#include "core/TextLines.h"
#include "core/UsageError.h"
#include "core/ValdError.h"
#include "core/Win1250.h"
#include "mqtt/MqttPublisher.h"
#include "pipeline/AlarmKeeping.h"
#include "translations/Translation.h"

namespace {

constexpr int ExitComplete = 0;
constexpr int ExitIncomplete = 1;
constexpr int ExitUsage = 2;
constexpr int ExitNewAlarm = 3;

char SystemDecimalSeparator() {
  const QByteArray point = ToWin1250(QLocale::system().decimalPoint());
  return point.size() == 1 ? point[0] : '.';
}

// Reads one device into the run's program folder or, when several devices write files, into its own
// subfolder there. A subfolder made for a device that wrote no file is taken away again.
DeviceOutcome ReadIntoFolder(const HostEntry& entry, const ReadoutRun& run, bool ownFolder,
                             const std::function<void(int block, int blockCount)>& progress) {
  if (!ownFolder) return ReadOneDevice(entry, run, run.env.programFolder, progress);
  const QDir base(run.env.programFolder.isEmpty() ? QStringLiteral(".") : run.env.programFolder);
  const bool made = base.mkdir(entry.folder);
  DeviceOutcome outcome = ReadOneDevice(entry, run, run.env.ProgramFile(entry.folder), progress);
  if (made && outcome.file.isEmpty()) base.rmdir(entry.folder);
  return outcome;
}

}  // namespace

int main(int argc, char** argv) {
  // Under a file-size limit (ulimit -f) a write past it then fails with its reason, reported on the
  // device's line with the old file kept, instead of the signal ending the program.
  std::signal(SIGXFSZ, SIG_IGN);
  QCoreApplication app(argc, argv);
  InstallEnglish(app);
  QTextStream out(stdout);
  QTextStream err(stderr);
  const ParsedCommandLine commandLine = ParseReadOptions(app.arguments());
  if (commandLine.helpRequested) {
    out << ReadUsage();
    return ExitComplete;
  }
  if (commandLine.versionRequested) {
    out << "vald_read " << VALD_VERSION << Qt::endl;
    return ExitComplete;
  }
  if (!commandLine.options) {
    err << UsageErrorLine(QStringLiteral("vald_read"), commandLine.error) << Qt::endl;
    return ExitUsage;
  }
  const ReadOptions& options = *commandLine.options;

  // Every host and limit is known and well-formed before the first device is asked.
  QList<HostEntry> hosts;
  LimitRules limits;
  try {
    HostList list = CollectHosts(options.hosts, options.hostsFiles, options.configFiles, options.port);
    for (const QString& warning : list.warnings) err << warning << Qt::endl;
    hosts = std::move(list.entries);
    limits = options.limitsFile.isEmpty()
                 ? LoadLimitRules(QDir(options.outFolder).filePath(QString::fromLatin1(LimitsFileName)))
                 : ReadLimitRules(ReadWholeFile(options.limitsFile), options.limitsFile);
  } catch (const ValdError& error) {
    err << error.Message() << Qt::endl;
    return ExitUsage;
  }

  Environment env;
  env.programFolder = options.outFolder;
  env.systemDecimalSeparator = options.decimalSeparator.value_or(SystemDecimalSeparator());
  env.writeMeasurementFiles = !options.noFiles;
  env.timeZone = options.timeZone;
  // A relative archive path names a file from the current folder, as every path of the command line.
  env.archive = options.archive.isEmpty()
                    ? QDir(options.outFolder).filePath(QString::fromLatin1(DefaultArchiveFileName))
                    : options.archive;
  ArchiveLocation archiveLocation;
  try {
    archiveLocation = ParseArchiveLocation(env.archive, QString());
    if (archiveLocation.engine == ArchiveLocation::Engine::SQLite) {
      env.archive = QDir(env.archive).absolutePath();
      archiveLocation.path = env.archive;
    }
  } catch (const ValdError& error) {
    err << UsageErrorLine(QStringLiteral("vald_read"), error.Message()) << Qt::endl;
    return ExitUsage;
  }
  if (options.fileNameTime) env.now = [time = *options.fileNameTime] { return time; };
  // The broker's password comes from the environment only, never from the command line or a file.
  std::optional<MqttPublisher> publisher;
  if (options.mqtt) {
    BrokerLocation broker = *options.mqtt;
    broker.password = qEnvironmentVariable(MqttPasswordVariable);
    publisher.emplace(std::move(broker));
  }
  // One archive connection for the whole run: the devices read at once merge through it one after another.
  // One separator for every value, so that the file opens again on a system with that separator.
  ReadoutRun run = OpenReadoutRun(env, QByteArray(1, env.systemDecimalSeparator), std::move(limits),
                                  publisher ? &*publisher : nullptr);
  run.newOnly = {true, options.full, options.fullEveryHours};

  // Progress is for a person watching: a log file or a pipe gets only the result lines. Progress lines
  // of devices read at once go out one whole line at a time.
  const bool showProgress = !options.quiet && isatty(STDERR_FILENO);
  std::mutex progressMutex;
  const bool ownFolders = hosts.size() > 1 && env.writeMeasurementFiles;
  const auto read = [&](qsizetype device) {
    const HostEntry& entry = hosts[device];
    std::function<void(int, int)> progress;
    if (showProgress) {
      progress = [&](int block, int blockCount) {
        const std::lock_guard lock(progressMutex);
        err << entry.given << ": block " << block + 1 << " of " << blockCount << Qt::endl;
      };
    }
    return ReadIntoFolder(entry, run, ownFolders, progress);
  };
  int status = ExitComplete;
  QStringList given;
  for (const HostEntry& entry : hosts) given << entry.given;
  ReadoutQueue queue(given);
  bool newAlarm = false;
  QElapsedTimer notifyClock;  // started with the run's first notify command
  ReadInParallel(queue, options.jobs, read, [&](const DeviceOutcome& readout) {
    DeviceOutcome outcome = readout;
    if (!outcome.warning.isEmpty()) err << outcome.host << ": warning: " << outcome.warning << Qt::endl;
    QStringList problems;
    if (!outcome.alarmsError.isEmpty())
      problems << QStringLiteral("alarms not archived: %1").arg(outcome.alarmsError);
    if (outcome.alarms && !options.notifyCommand.isEmpty()) {
      const LogAlarms& found = *outcome.alarms;
      for (size_t i = 0; i < found.alarms.size(); ++i) {
        if (!found.isNew[i]) continue;
        if (!notifyClock.isValid()) notifyClock.start();
        const QString failure = NotifyAlarm(options.notifyCommand, found, found.alarms[i], err,
                                            {options.notifySeconds, 5 * options.notifySeconds}, notifyClock);
        if (failure.isEmpty()) continue;
        problems << failure;
        // Told to nobody: the next run reports it again.
        if (run.archive) {
          try {
            run.archive->Run([&](ArchiveStore& store) { UnreportAlarm(found, i, store); });
          } catch (const ValdError& error) {
            problems << QStringLiteral("alarms not archived: %1").arg(error.Message());
          }
        }
      }
    }
    if (!problems.isEmpty()) {
      problems.prepend(outcome.error);
      problems.removeAll(QString());
      outcome.error = problems.join(QStringLiteral("; "));
    }
    if (options.json) {
      out << ResultJson(outcome) << Qt::endl;
    } else {
      out << ResultText(outcome) << Qt::endl;
      for (const QString& line : AlarmLines(outcome)) out << line << Qt::endl;
    }
    if (!outcome.Complete()) status = ExitIncomplete;
    if (outcome.alarms && outcome.alarms->NewCount() > 0) newAlarm = true;
  });
  if (!StandardOutputComplete(out)) {
    err << "Cannot write the results to standard output." << Qt::endl;
    return ExitIncomplete;
  }
  return status == ExitComplete && newAlarm ? ExitNewAlarm : status;
}
