// vald_read: the headless front end over the same core as the main window. It reads the whole log of
// one or more devices, several at once, and writes each one's automatic measurement file.

#include <unistd.h>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QTextStream>

#include <csignal>
#include <mutex>
#include <optional>
#include <set>

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
#include "core/StopSignals.h"
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

// Keeps a device's readout in the run's program folder or, when several devices write files, in its own
// subfolder there. A subfolder made for a device that wrote no file is taken away again.
DeviceOutcome KeepIntoFolder(const HostEntry& entry, const ReadoutRun& run, bool ownFolder,
                             ReadoutResult& result, const QString& readError, const QElapsedTimer& clock) {
  if (!ownFolder) return KeepDeviceReadout(entry, run, run.env.programFolder, result, readError, clock);
  const QDir base(run.env.programFolder.isEmpty() ? QStringLiteral(".") : run.env.programFolder);
  const bool made = base.mkdir(entry.folder);
  DeviceOutcome outcome =
      KeepDeviceReadout(entry, run, run.env.ProgramFile(entry.folder), result, readError, clock);
  if (made && outcome.file.isEmpty()) base.rmdir(entry.folder);
  return outcome;
}

// A rule that named no device of the run was written for a device it does not reach: said on standard
// error, and with --json in a last line of its own.
void ReportUnmatchedRules(const LimitRules& limits, const std::set<size_t>& matched, const QString& fileName,
                          bool json, QTextStream& out, QTextStream& err) {
  QJsonArray unmatched;
  for (size_t i = 0; i < limits.Rules().size(); ++i) {
    if (matched.contains(i)) continue;
    const LimitRule& rule = limits.Rules()[i];
    err << fileName << " line " << rule.line << ": warning: \"" << rule.text
        << "\" named no device of this run" << Qt::endl;
    unmatched.append(QJsonObject{{QStringLiteral("line"), rule.line}, {QStringLiteral("rule"), rule.text}});
  }
  if (json && !unmatched.isEmpty())
    out << QJsonDocument(QJsonObject{{QStringLiteral("unmatchedRules"), unmatched}})
               .toJson(QJsonDocument::Compact)
        << Qt::endl;
}

}  // namespace

int main(int argc, char** argv) {
  // Under a file-size limit (ulimit -f) a write past it then fails with its reason, reported on the
  // device's line with the old file kept, instead of the signal ending the program.
  std::signal(SIGXFSZ, SIG_IGN);
  QCoreApplication app(argc, argv);
  // A stop (systemd's SIGTERM, Ctrl+C) starts no new exchange: the readouts finished are kept and
  // printed, the others reported as stopped, a notify command running is ended, and the run ends with 1.
  ReadoutStop stop;
  const StopSignals stopSignals([&stop] { stop.Request(); });
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
  const QString limitsFile = options.limitsFile.isEmpty()
                                 ? QDir(options.outFolder).filePath(QString::fromLatin1(LimitsFileName))
                                 : options.limitsFile;
  try {
    HostList list = CollectHosts(options.hosts, options.hostsFiles, options.configFiles, options.port);
    for (const QString& warning : list.warnings) err << warning << Qt::endl;
    hosts = std::move(list.entries);
    limits = options.limitsFile.isEmpty() ? LoadLimitRules(limitsFile) : ReadLimitsFile(limitsFile);
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
  run.mqttExpireSeconds = options.mqttExpireSeconds;
  if (!run.limits.IsEmpty() || options.staleMinutes || options.clockLimitMinutes) {
    run.deviceWatch =
        DeviceWatchLimits{options.staleMinutes ? std::optional<double>(*options.staleMinutes) : std::nullopt,
                          double(options.clockLimitMinutes.value_or(DefaultClockLimitMinutes))};
  }

  // Progress is for a person watching: a log file or a pipe gets only the result lines. Progress lines
  // of devices read at once go out one whole line at a time.
  const bool showProgress = !options.quiet && isatty(STDERR_FILENO);
  std::mutex progressMutex;
  const bool ownFolders = hosts.size() > 1 && env.writeMeasurementFiles;
  const auto prepare = [&](qsizetype device) {
    const HostEntry& entry = hosts[device];
    std::function<void(int, int)> progress;
    if (showProgress) {
      progress = [&](int block, int blockCount) {
        const std::lock_guard lock(progressMutex);
        err << entry.given << ": block " << block + 1 << " of " << blockCount << Qt::endl;
      };
    }
    return PrepareDeviceReadout(entry, run, progress);
  };
  const auto keep = [&](qsizetype device, ReadoutResult& result, const QString& readError,
                        const QElapsedTimer& clock) {
    return KeepIntoFolder(hosts[device], run, ownFolders, result, readError, clock);
  };
  int status = ExitComplete;
  QStringList given;
  for (const HostEntry& entry : hosts) given << entry.given;
  ReadoutQueue queue(given);
  bool newAlarm = false;
  std::set<size_t> rulesMatched;
  QElapsedTimer notifyClock;  // started with the run's first notify command
  ReadInParallel(
      queue, options.jobs, prepare, keep,
      [&](const DeviceOutcome& readout) {
        DeviceOutcome outcome = readout;
        if (!outcome.warning.isEmpty()) err << outcome.host << ": warning: " << outcome.warning << Qt::endl;
        QStringList problems;
        if (!outcome.alarmsError.isEmpty())
          problems << QStringLiteral("alarms not archived: %1").arg(outcome.alarmsError);
        if (!options.notifyCommand.isEmpty()) {
          // Runs the command for one event; told to nobody, the event is reported again by the next run.
          const auto notify = [&](const QProcessEnvironment& environment,
                                  const std::function<void(ArchiveStore&)>& unreport) {
            if (!notifyClock.isValid()) notifyClock.start();
            const QString failure = NotifyAlarm(options.notifyCommand, environment, err,
                                                {options.notifySeconds, 5 * options.notifySeconds},
                                                notifyClock, [&stop] { return stop.Requested(); });
            if (failure.isEmpty()) return;
            problems << failure;
            if (!run.archive) return;
            try {
              run.archive->Run(unreport);
            } catch (const ValdError& error) {
              problems << QStringLiteral("alarms not archived: %1").arg(error.Message());
            }
          };
          if (outcome.alarms) {
            const LogAlarms& found = *outcome.alarms;
            for (size_t i = 0; i < found.alarms.size(); ++i) {
              for (const AlarmEvent event : {AlarmEvent::Start, AlarmEvent::Clear}) {
                if (!(event == AlarmEvent::Start ? found.isNew[i] : found.isNewClear[i])) continue;
                notify(NotifyEnvironment(found, found.alarms[i], event),
                       [&](ArchiveStore& store) { UnreportAlarm(found, i, event, store); });
              }
            }
          }
          for (const DeviceAlarm& alarm : outcome.deviceAlarms) {
            for (const AlarmEvent event : {AlarmEvent::Start, AlarmEvent::Clear}) {
              if (!(event == AlarmEvent::Start ? alarm.news.start : alarm.news.clear)) continue;
              notify(NotifyEnvironment(outcome.AlarmDevice(), outcome.deviceType, alarm, event),
                     [&](ArchiveStore& store) {
                       UnreportDeviceAlarm(outcome.host, alarm, event, run.zone, store);
                     });
            }
          }
        }
        if (!problems.isEmpty()) {
          // A stopped run's notify commands all fail alike: said once.
          problems.removeDuplicates();
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
        for (const DeviceAlarm& alarm : outcome.deviceAlarms) newAlarm = newAlarm || alarm.news.start;
        if (outcome.alarms)
          rulesMatched.insert(outcome.alarms->rulesNaming.begin(), outcome.alarms->rulesNaming.end());
      },
      stop);
  ReportUnmatchedRules(run.limits, rulesMatched, limitsFile, options.json, out, err);
  if (!StandardOutputComplete(out)) {
    err << "Cannot write the results to standard output." << Qt::endl;
    return ExitIncomplete;
  }
  return status == ExitComplete && newAlarm ? ExitNewAlarm : status;
}
