#include "ReadOptions.h"

#include <QCommandLineParser>
#include <QFileInfo>

#include "archive/SiteTime.h"
#include "core/DataFolder.h"
#include "core/ValdError.h"
#include "core/Win1250.h"
#include "settings/DecimalSeparatorRule.h"

namespace {

const QString DateFormat = QStringLiteral("yyyy-MM-dd");
const QString ClockFormat = QStringLiteral("hh:mm");
const QString TimeFormat = DateFormat + QLatin1Char(' ') + ClockFormat;

// The byte of a separator that the files can hold, or why not.
std::optional<char> ReadDecimalSeparator(const QString& separator, QString& error) {
  const QByteArray bytes = ToWin1250(separator);
  if (separator.size() == 1 && FromWin1250(bytes) == separator && IsUsableDecimalSeparator(bytes[0])) {
    return bytes[0];
  }
  error = QStringLiteral(
              "Bad decimal separator \"%1\": expected one character of the Central European code page, "
              "not a digit, a sign (+ -), a quote (' \"), the column separator ; or a control character.")
              .arg(separator.size() == 1 && !separator[0].isPrint()
                       ? QStringLiteral("#%1").arg(separator[0].unicode())
                       : separator);
  return std::nullopt;
}

// A local time as written, or why not. A time that the clock skips when daylight saving starts does not
// exist, and the date-time Qt would make of it names the files an hour later.
std::optional<QDateTime> ReadLocalTime(const QString& text, QString& error) {
  const QStringList parts = text.split(QLatin1Char(' '));
  const QDate date = parts.size() == 2 ? QDate::fromString(parts[0], DateFormat) : QDate();
  const QTime clock = parts.size() == 2 ? QTime::fromString(parts[1], ClockFormat) : QTime();
  if (!date.isValid() || !clock.isValid()) {
    error = QStringLiteral("Bad time \"%1\": expected \"%2\".").arg(text, TimeFormat);
    return std::nullopt;
  }
  const QDateTime time(date, clock);
  if (!time.isValid() || time.date() != date || time.time() != clock) {
    error = QStringLiteral(
                "Bad time \"%1\": it does not exist in local time (the clock skips it when "
                "daylight saving time starts).")
                .arg(text);
    return std::nullopt;
  }
  return time;
}

// Why the measurement files cannot be written into `folder`, or nothing when they can.
QString OutFolderProblem(const QString& folder) {
  const QString shown = folder.isEmpty() ? QStringLiteral(".") : folder;
  const QFileInfo info(shown);
  QString problem;
  if (!info.exists()) {
    problem = QStringLiteral("it does not exist");
  } else if (!info.isDir()) {
    problem = QStringLiteral("it is not a folder");
  } else if (!FolderAcceptsFiles(shown)) {
    problem = QStringLiteral("it is not writable");
  } else {
    return QString();
  }
  return QStringLiteral("Bad output folder \"%1\": %2.").arg(shown, problem);
}

}  // namespace

QString ReadUsage() {
  return QStringLiteral(
      "Usage: vald_read [--port N] [--out DIR] [--decimal-separator C] [--time \"yyyy-MM-dd hh:mm\"]\n"
      "                 [--archive PATH|URL|off] [--time-zone ZONE] [--no-files] [--jobs N] [--hosts FILE]\n"
      "                 [--config CFG.INI] [--limits FILE] [--notify CMD] [--stale MINUTES]\n"
      "                 [--clock-limit MINUTES] [--json] [--quiet] [--mqtt URL] [--mqtt-expire SECONDS]\n"
      "                 [--full] [--full-every HOURS]\n"
      "                 [HOST[:PORT]...]\n"
      "\n"
      "Reads the whole log of the device at each HOST, several devices at once, exactly as the\n"
      "\"Lekérdezés\" button does, and writes its measurement file \"yy.mm.dd hh.nn VALD_<type>.csv\"\n"
      "into DIR, then merges the log into the archive. When more than one device is read, each one's\n"
      "file goes into DIR/HOST/ (DIR/HOST_PORT/ for an entry with its own port), so devices of one type\n"
      "keep a file each; all of them merge into the one archive.\n"
      "\n"
      "Options:\n"
      "  --port N                    UDP port of the devices without a port of their own (default 6262)\n"
      "  --out DIR                   folder of the measurement files (default: the current folder)\n"
      "  --decimal-separator C       decimal separator of every value in the files\n"
      "                              (default: the one of the system's regional settings; not a\n"
      "                              digit, a sign, a quote, ; or a control character)\n"
      "  --time \"yyyy-MM-dd hh:mm\"   local time that names the files, for reproducible names\n"
      "                              (default: the clock when each readout ends)\n"
      "  --archive PATH|URL|off      the archive every log is merged into: an SQLite file, a\n"
      "                              PostgreSQL URL (postgresql://user@host:port/dbname?sslmode=...,\n"
      "                              the password from PGPASSWORD or ~/.pgpass), or off\n"
      "                              (default: archive.sqlite in DIR)\n"
      "  --time-zone ZONE            the devices' time zone, which gives the archived records' UTC\n"
      "                              times: a name such as Europe/Budapest (default: the system's)\n"
      "  --no-files                  merge into the archive only, write no measurement files\n"
      "  --full                      ask every device for every block; without it a device whose last\n"
      "                              readout the archive holds whole is asked only for the blocks from\n"
      "                              its newest record on, patched into that image, and read in full\n"
      "                              whenever that picture may be stale\n"
      "  --full-every HOURS          read a device in full once its last full readout is this old\n"
      "                              (default 24)\n"
      "  --jobs N                    devices read at once, each with its own socket (default 8)\n"
      "  --hosts FILE                read the hosts listed in FILE too: one HOST or HOST:PORT a line\n"
      "                              ([IPv6]:PORT for an IPv6 address), \"#\" starts a comment, blank\n"
      "                              lines are passed over\n"
      "  --config CFG.INI            read the addresses ip1..ip5 of a cfg.ini too, on its UDPport\n"
      "  --limits FILE               check every log against the limits in FILE (default: limits.csv\n"
      "                              in DIR, when it is there): one DEVICE;CHANNEL;LOW;HIGH or\n"
      "                              DEVICE;CHANNEL;LOW;HIGH;DELAY;HYSTERESIS a line, DEVICE a MAC\n"
      "                              address, host, HOST:PORT, device type (a word in capitals) or *,\n"
      "                              CHANNEL a value column from 1 or a quantity (temperature,\n"
      "                              humidity, co2 ...), LOW and HIGH numbers with \".\" or empty,\n"
      "                              DELAY the minutes an excursion lasts before it is an alarm and\n"
      "                              HYSTERESIS how far back inside the limit a value must come to\n"
      "                              end it (both empty for 0); \"#\" starts a comment\n"
      "  --notify CMD                run CMD through /bin/sh -c once per new alarm and once more when\n"
      "                              it is over, with VALD_EVENT (alarm or clear), VALD_KIND (limit,\n"
      "                              silent or clock), VALD_DEVICE, VALD_TYPE, VALD_START and VALD_END\n"
      "                              (ISO 8601 with the offset) in its environment, for a limit also\n"
      "                              VALD_CHANNEL, VALD_QUANTITY, VALD_UNIT, VALD_LIMIT (low or high),\n"
      "                              VALD_LIMIT_VALUE, VALD_RECORDS and VALD_EXTREME, for a silent or\n"
      "                              clock alarm VALD_AGE_MINUTES (the newest record's age, empty\n"
      "                              without one); what it prints goes to standard error (the first\n"
      "                              64 KiB)\n"
      "  --stale MINUTES             a device that does not answer, or whose newest record is older\n"
      "                              than this, raises an alarm of kind silent, until it answers with\n"
      "                              new records again\n"
      "  --clock-limit MINUTES       records further in the future than this raise an alarm of kind\n"
      "                              clock, and so does a device that keeps logging while its newest\n"
      "                              record lies behind by more than this and its logging interval\n"
      "                              (default 15); the devices' clocks are watched in a run with\n"
      "                              limits, --stale or --clock-limit\n"
      "  --notify-timeout SECONDS    stop a notify command, with what it started, after this long\n"
      "                              (default 60); the run's notify commands stop after five times\n"
      "                              that, and the alarms not notified are reported again next run\n"
      "  --json                      one JSON object per device instead of the result line\n"
      "  --quiet                     no progress lines\n"
      "  --mqtt URL                  publish every device read to an MQTT broker\n"
      "                              (mqtt://user@host:port/prefix, mqtts:// for TLS, the password\n"
      "                              from VALD_MQTT_PASSWORD): Home Assistant discovery messages, one\n"
      "                              sensor per channel and a problem binary sensor (on while an\n"
      "                              alarm runs up to the newest record), the last record's values\n"
      "                              as PREFIX/DEVICE/state (default prefix: vald), and online (after\n"
      "                              a readout of the whole log) or offline (no device answered) as\n"
      "                              PREFIX/HOST/availability, all retained; the connection's last\n"
      "                              will is offline there\n"
      "  --mqtt-expire SECONDS       how long Home Assistant shows a published value without a new\n"
      "                              one (default 7200; 0: until the next one)\n"
      "  --help                      show this text\n"
      "  --version                   show the version\n"
      "\n"
      "A host names a folder, so it holds no blank and no path separator. A malformed host, hosts file\n"
      "line or cfg.ini address stops the run before any device is read, and so does a line of those\n"
      "files that holds a NUL byte or is longer than 1024 bytes, or a file larger than 16 MiB (the\n"
      "limits file too). A device given again under another spelling (10.0.0.5:6262 for 10.0.0.5) is\n"
      "read once, with a warning.\n"
      "\n"
      "Progress (\"HOST: block n of N\") goes to standard error when that is a terminal, unless --quiet\n"
      "is given. Standard output gets one line per device, in the order the hosts were given: the file\n"
      "written (with --no-files the records new to the archive), or why the readout failed (\"No\n"
      "device\", \"unknown device code N\", a socket error, an incomplete log with the blocks that got no\n"
      "full reply: none, short or oversized, and the records lost with them, a log that does not hold\n"
      "together, records with an invalid date, a line of the log that the views refuse, after the file\n"
      "with the whole log was written, an archive that could not be written, a broker that did not\n"
      "take the messages). With --json the line is an object with host, deviceType, mac, blocksRead,\n"
      "missingBlocks, records, lostRecords, suspect, invalidDates, newRecordsArchived, file, error,\n"
      "seconds, readout (\"incremental\" or \"full\"), fullReason (why a device with an archived image\n"
      "was read in full, else null), blockRequests and newestRecordAgeMinutes (how far the newest\n"
      "record lies behind this machine's clock in the devices' time zone, negative in the future, null\n"
      "without one), with --mqtt also mqtt (\"published\" or why not).\n"
      "With limits, each alarm (an unbroken run of records beyond a limit of one channel) not reported\n"
      "before follows its device's line as \"HOST: alarm: ...\", and the all-clear of one reported\n"
      "before that is over now as \"HOST: all clear: ...\"; with --json the object's \"alarms\" lists\n"
      "them (kind, device, open, events: alarm and/or clear, start, end; for a limit also channel,\n"
      "quantity, unit, limit, value, records, extreme; for a silent or clock alarm\n"
      "newestRecordAgeMinutes). The archive keeps the alarms and all-clears reported, so that the next\n"
      "run does not report them again; without an archive every run reports all. A malformed limits\n"
      "line, a type name or quantity that does not exist stops the run before any device is read,\n"
      "naming its line; a rule that named no device of the run is named in a warning on standard\n"
      "error, and with --json in a last line {\"unmatchedRules\": [{\"line\": N, \"rule\": ...}]}.\n"
      "Exit status: 0 when every device was read completely into its file, the archive and the\n"
      "broker, 1 otherwise (a notify command that failed included), 2 for a bad command line, hosts\n"
      "file, cfg.ini or limits file, or an output folder that cannot be written (checked before any\n"
      "device is read), 3 when every device was read completely and a new alarm was found (a silent\n"
      "device that did not answer is a failure: 1).\n");
}

ParsedCommandLine ParseReadOptions(const QStringList& arguments) {
  QCommandLineParser parser;
  const QCommandLineOption portOption(QStringLiteral("port"), QString(), QStringLiteral("N"));
  const QCommandLineOption outOption(QStringLiteral("out"), QString(), QStringLiteral("DIR"));
  const QCommandLineOption separatorOption(QStringLiteral("decimal-separator"), QString(),
                                           QStringLiteral("C"));
  const QCommandLineOption timeOption(QStringLiteral("time"), QString(), QStringLiteral("TIME"));
  const QCommandLineOption archiveOption(QStringLiteral("archive"), QString(), QStringLiteral("ARCHIVE"));
  const QCommandLineOption timeZoneOption(QStringLiteral("time-zone"), QString(), QStringLiteral("ZONE"));
  const QCommandLineOption noFilesOption(QStringLiteral("no-files"));
  const QCommandLineOption fullOption(QStringLiteral("full"));
  const QCommandLineOption fullEveryOption(QStringLiteral("full-every"), QString(), QStringLiteral("HOURS"));
  const QCommandLineOption jobsOption(QStringLiteral("jobs"), QString(), QStringLiteral("N"));
  const QCommandLineOption hostsOption(QStringLiteral("hosts"), QString(), QStringLiteral("FILE"));
  const QCommandLineOption configOption(QStringLiteral("config"), QString(), QStringLiteral("CFG.INI"));
  const QCommandLineOption limitsOption(QStringLiteral("limits"), QString(), QStringLiteral("FILE"));
  const QCommandLineOption notifyOption(QStringLiteral("notify"), QString(), QStringLiteral("CMD"));
  const QCommandLineOption notifyTimeoutOption(QStringLiteral("notify-timeout"), QString(),
                                               QStringLiteral("SECONDS"));
  const QCommandLineOption staleOption(QStringLiteral("stale"), QString(), QStringLiteral("MINUTES"));
  const QCommandLineOption clockLimitOption(QStringLiteral("clock-limit"), QString(),
                                            QStringLiteral("MINUTES"));
  const QCommandLineOption jsonOption(QStringLiteral("json"));
  const QCommandLineOption quietOption(QStringLiteral("quiet"));
  const QCommandLineOption mqttOption(QStringLiteral("mqtt"), QString(), QStringLiteral("URL"));
  const QCommandLineOption mqttExpireOption(QStringLiteral("mqtt-expire"), QString(),
                                            QStringLiteral("SECONDS"));
  const QCommandLineOption helpOption(QStringLiteral("help"));
  const QCommandLineOption versionOption(QStringLiteral("version"));
  parser.addOptions({portOption,     outOption,        separatorOption,     timeOption,      archiveOption,
                     timeZoneOption, noFilesOption,    jobsOption,          hostsOption,     configOption,
                     limitsOption,   notifyOption,     notifyTimeoutOption, jsonOption,      quietOption,
                     mqttOption,     mqttExpireOption, fullOption,          fullEveryOption, helpOption,
                     versionOption,  staleOption,      clockLimitOption});
  parser.addPositionalArgument(QStringLiteral("HOST"), QString(), QStringLiteral("HOST..."));

  ParsedCommandLine result;
  if (!parser.parse(arguments)) {
    result.error = parser.errorText();
    return result;
  }
  if (parser.isSet(helpOption)) {
    result.helpRequested = true;
    return result;
  }
  if (parser.isSet(versionOption)) {
    result.versionRequested = true;
    return result;
  }

  ReadOptions options;
  if (parser.isSet(portOption)) {
    bool ok = false;
    const uint port = parser.value(portOption).toUInt(&ok);
    if (!ok || port == 0 || port > 65535) {
      result.error =
          QStringLiteral("Bad port \"%1\": expected a number from 1 to 65535.").arg(parser.value(portOption));
      return result;
    }
    options.port = uint16_t(port);
  }
  options.outFolder = parser.value(outOption);
  if (parser.isSet(separatorOption)) {
    options.decimalSeparator = ReadDecimalSeparator(parser.value(separatorOption), result.error);
    if (!options.decimalSeparator) return result;
  }
  if (parser.isSet(timeOption)) {
    options.fileNameTime = ReadLocalTime(parser.value(timeOption), result.error);
    if (!options.fileNameTime) return result;
  }
  options.archive = parser.value(archiveOption);
  options.timeZone = parser.value(timeZoneOption);
  try {
    SiteTimeZone(options.timeZone);
  } catch (const ValdError& error) {
    result.error = error.Message() + QLatin1Char('.');
    return result;
  }
  options.noFiles = parser.isSet(noFilesOption);
  if (options.noFiles && options.archive.compare(QLatin1String("off"), Qt::CaseInsensitive) == 0) {
    result.error = QStringLiteral("--no-files needs an archive: it writes nothing else.");
    return result;
  }
  if (parser.isSet(jobsOption)) {
    bool ok = false;
    const int jobs = parser.value(jobsOption).toInt(&ok);
    if (!ok || jobs < 1 || jobs > ReadOptions::MaxJobs) {
      result.error = QStringLiteral("Bad number of jobs \"%1\": expected a number from 1 to %2.")
                         .arg(parser.value(jobsOption))
                         .arg(ReadOptions::MaxJobs);
      return result;
    }
    options.jobs = jobs;
  }
  options.full = parser.isSet(fullOption);
  if (parser.isSet(fullEveryOption)) {
    bool ok = false;
    const int hours = parser.value(fullEveryOption).toInt(&ok);
    if (!ok || hours < 0 || hours > ReadOptions::MaxFullEveryHours) {
      result.error = QStringLiteral("Bad --full-every \"%1\": expected hours from 0 to %2.")
                         .arg(parser.value(fullEveryOption))
                         .arg(ReadOptions::MaxFullEveryHours);
      return result;
    }
    options.fullEveryHours = hours;
  }
  options.json = parser.isSet(jsonOption);
  options.quiet = parser.isSet(quietOption);
  if (parser.isSet(mqttOption)) {
    try {
      options.mqtt = ParseBrokerLocation(parser.value(mqttOption));
    } catch (const ValdError& error) {
      result.error = error.Message();
      return result;
    }
  }
  if (parser.isSet(mqttExpireOption)) {
    if (!options.mqtt) {
      result.error = QStringLiteral("--mqtt-expire needs --mqtt: it is a setting of the published sensors.");
      return result;
    }
    bool ok = false;
    const int seconds = parser.value(mqttExpireOption).toInt(&ok);
    if (!ok || seconds < 0 || seconds > ReadOptions::MaxMqttExpireSeconds) {
      result.error = QStringLiteral("Bad --mqtt-expire \"%1\": expected seconds from 0 to %2.")
                         .arg(parser.value(mqttExpireOption))
                         .arg(ReadOptions::MaxMqttExpireSeconds);
      return result;
    }
    options.mqttExpireSeconds = seconds;
  }
  options.limitsFile = parser.value(limitsOption);
  options.notifyCommand = parser.value(notifyOption);
  if (parser.isSet(notifyTimeoutOption)) {
    bool ok = false;
    const int seconds = parser.value(notifyTimeoutOption).toInt(&ok);
    if (!ok || seconds < 1 || seconds > 3600) {
      result.error = QStringLiteral("Bad --notify-timeout \"%1\": expected seconds from 1 to 3600.")
                         .arg(parser.value(notifyTimeoutOption));
      return result;
    }
    options.notifySeconds = seconds;
  }
  for (const auto& [option, minutes] : {std::pair(&staleOption, &options.staleMinutes),
                                        std::pair(&clockLimitOption, &options.clockLimitMinutes)}) {
    if (!parser.isSet(*option)) continue;
    bool ok = false;
    const int value = parser.value(*option).toInt(&ok);
    if (!ok || value < 1 || value > ReadOptions::MaxWatchMinutes) {
      result.error = QStringLiteral("Bad --%1 \"%2\": expected minutes from 1 to %3.")
                         .arg(option->names().first(), parser.value(*option))
                         .arg(ReadOptions::MaxWatchMinutes);
      return result;
    }
    *minutes = value;
  }
  options.hosts = parser.positionalArguments();
  options.hostsFiles = parser.values(hostsOption);
  options.configFiles = parser.values(configOption);
  if (options.hosts.isEmpty() && options.hostsFiles.isEmpty() && options.configFiles.isEmpty()) {
    result.error = QStringLiteral("No device address given.");
    return result;
  }
  result.error = OutFolderProblem(options.outFolder);
  if (!result.error.isEmpty()) return result;
  result.options = options;
  return result;
}
