#include "ArchiveCommandLine.h"

#include <QCommandLineParser>
#include <algorithm>
#include <limits>

#include "archive/ArchivedLine.h"
#include "archive/SiteTime.h"
#include "core/ValdError.h"
#include "export/ExportFormats.h"

namespace {

// A command, how many arguments it takes and the options it takes besides --archive and --time-zone.
struct CommandRule {
  const char* name;
  int fewestArguments;
  int mostArguments;
  QStringList options;
  const char* arguments;  // what its arguments are, for a command line with too few or too many
};

constexpr int Many = std::numeric_limits<int>::max();

// The rule of the command `name`; null for no command of vald_archive.
const CommandRule* RuleNamed(const QString& name) {
  static const CommandRule rules[] = {
      {"list", 0, 0, {}, "no argument"},
      {"export", 1, 1, {"from", "to", "format", "bom", "out"}, "one DEVICE"},
      {"import", 1, Many, {"device", "force"}, "--device DEVICE and one or more FILEs"},
      {"redecode", 0, 0, {}, "no argument"},
      {"repair-images", 0, 0, {}, "no argument"},
      {"check", 0, 0, {"report"}, "no argument"},
      {"stats", 1, 1, {"from", "to", "format", "hash"}, "one DEVICE"},
      {"report", 1, 1, {"from", "to", "limits", "lang", "out"}, "one DEVICE and --out FILE.pdf"},
      {"upgrade", 0, 0, {}, "no argument"},
  };
  const auto rule = std::find_if(std::begin(rules), std::end(rules),
                                 [&](const CommandRule& r) { return name == QLatin1String(r.name); });
  return rule == std::end(rules) ? nullptr : rule;
}

// What is wrong with the values of `command`; empty when every one is usable.
QString ValueProblem(const ArchiveCommand& command) {
  if (!command.from.isEmpty() && !ArchiveTimeFromText(command.from, false))
    return QStringLiteral("Bad time \"%1\": expected \"yyyy-MM-dd\" or \"yyyy-MM-dd hh:mm\"")
        .arg(command.from);
  if (!command.to.isEmpty() && !ArchiveTimeFromText(command.to, true))
    return QStringLiteral("Bad time \"%1\": expected \"yyyy-MM-dd\" or \"yyyy-MM-dd hh:mm\"").arg(command.to);
  if (command.name == QStringLiteral("export")) {
    const std::optional<ExportFormat> format =
        ExportFormatNamed(command.format.isEmpty() ? QStringLiteral("file") : command.format);
    if (!format) {
      return QStringLiteral("Bad format \"%1\": expected file, csv, csv-excel, json, influx or xlsx")
          .arg(command.format);
    }
    if (command.byteOrderMark && *format != ExportFormat::Csv)
      return QStringLiteral("--bom is for --format csv (csv-excel has one always)");
    if (*format == ExportFormat::Xlsx && command.out.isEmpty())
      return QStringLiteral("export --format xlsx needs --out FILE");
  }
  if (command.name == QStringLiteral("import")) {
    if (command.device.isEmpty()) return QStringLiteral("import takes --device DEVICE and one or more FILEs");
    // A key with a control character would break every list and export that names the device.
    if (std::any_of(command.device.begin(), command.device.end(),
                    [](QChar c) { return c.category() == QChar::Other_Control; }))
      return QStringLiteral("--device holds a control character: a device is named by printable characters");
  }
  if (command.name == QStringLiteral("stats") &&
      (!QStringList{QString(), "text", "csv", "json"}.contains(command.format) ||
       (command.hash && !command.format.isEmpty())))
    return QStringLiteral("stats takes one DEVICE and --format text, csv or json, or --hash");
  if (command.name == QStringLiteral("report")) {
    if (command.out.isEmpty()) return QStringLiteral("report takes one DEVICE and --out FILE.pdf");
    if (!QStringList{QString(), QStringLiteral("hu"), QStringLiteral("en")}.contains(command.language))
      return QStringLiteral("Bad language \"%1\": expected hu or en").arg(command.language);
  }
  try {
    SiteTimeZone(command.timeZone);
  } catch (const ValdError& error) {
    return error.Message();
  }
  return {};
}

}  // namespace

QString ArchiveUsage() {
  return QStringLiteral(
      "Usage: vald_archive [--archive PATH|URL] COMMAND ...\n"
      "\n"
      "  list                        the devices: type, records, first and last time, last readout\n"
      "  export DEVICE [--from T] [--to T] [--format F] [--bom] [--out FILE]\n"
      "                              the device's records in time order; T is the device's local\n"
      "                              \"yyyy-MM-dd\" or \"yyyy-MM-dd hh:mm\", both ends included; csv,\n"
      "                              csv-excel, json and influx go to standard output without --out.\n"
      "                              F is one of:\n"
      "    file                      a measurement file (as \"Megnyitás\" reads it), the default;\n"
      "                              without --out named \"yy.mm.dd hh.nn VALD_<type>.csv\" after\n"
      "                              the last record\n"
      "    csv                       RFC 4180, UTF-8: a header row of the channels' labels and\n"
      "                              units, ISO 8601 times with offset, \".\" decimals; with --bom\n"
      "                              UTF-8's byte order mark first, by which spreadsheets know the\n"
      "                              text is UTF-8\n"
      "    csv-excel                 for a spreadsheet set to Hungarian or German (the decimal\n"
      "                              comma), which opens it without the import dialog: \";\"\n"
      "                              between fields, \",\" decimals, local times as\n"
      "                              \"yyyy-mm-dd hh:mm\", UTF-8 with the byte order mark\n"
      "    json                      JSON lines: time, device, type, <quantity>_<n>...\n"
      "    influx                    InfluxDB line protocol, measurement \"vald\"\n"
      "    xlsx                      a workbook with dates and numbers (needs --out)\n"
      "  import --device DEVICE FILE...\n"
      "                              adds measurement files to the device; the type comes from the\n"
      "                              file name\n"
      "  redecode                    decodes the kept raw readouts again and reports what changed\n"
      "  check                       whether the archive is sound: its tables all there, every\n"
      "                              readout's image rebuilt (a broken one named with its device and\n"
      "                              where its chain breaks), then the database's own check, SQLite's\n"
      "                              integrity check of every page, table and index; on PostgreSQL\n"
      "                              every row of every table read through (its indexes are checked\n"
      "                              only by an extension)\n"
      "  check --report FILE.pdf     whether the archive still holds the records a report was made\n"
      "                              from: the device, the first and last time stamp, the count and\n"
      "                              the SHA-256 of the device's records of the report's period\n"
      "                              against those the report keeps\n"
      "  repair-images               mends the broken images check names (a readout kept as a patch\n"
      "                              onto an image that is gone): a readout whose patch holds every\n"
      "                              block keeps it as its whole image, any other keeps no image, its\n"
      "                              records staying archived; one line per readout changed\n"
      "  stats DEVICE [--from T] [--to T] [--format text|csv|json]\n"
      "                              per day and channel the count, minimum, maximum, mean and, for\n"
      "                              temperatures, the mean kinetic temperature (activation energy over\n"
      "                              the gas constant 10 000 K, 83.144 kJ/mol); values in their\n"
      "                              quantity's unit\n"
      "  stats DEVICE [--from T] [--to T] --hash\n"
      "                              the SHA-256 of the records, as a report of them keeps it: of one\n"
      "                              line per record in time order, \"yyyy-MM-dd hh:mm;VALUE;...\", each\n"
      "                              value as logged (\".\" before its decimals, \"--\" for a missing\n"
      "                              one, \"?\" for one that is no number), \"\\n\" after each line\n"
      "  report DEVICE [--from T] [--to T] [--limits FILE] [--lang hu|en] --out FILE.pdf\n"
      "                              an A4 PDF report, in Hungarian (the default) or English: the\n"
      "                              device, the period and its time zone, the limits, a chart per\n"
      "                              quantity, each channel's statistics and time beyond its limits,\n"
      "                              the daily statistics, the excursions beyond a limit, a verdict,\n"
      "                              a signature block and the records' SHA-256; the limits from FILE,\n"
      "                              by default limits.csv beside the archive when it is there\n"
      "  upgrade                     brings an archive of an older version up to the present schema,\n"
      "                              every record and raw readout kept (a readout or import does the\n"
      "                              same; the reading commands refuse an older archive)\n"
      "\n"
      "DEVICE is a MAC address, or \"address/device code\" for a device that did not tell its MAC,\n"
      "as list shows it.\n"
      "list, export, check, stats and report only read: they open the archive read-only, so they work\n"
      "on a file or folder that takes no changes. They, and upgrade, make no archive: where there is\n"
      "none they say \"no archive at PATH\"; a file that is no archive they call \"not an archive\".\n"
      "\n"
      "Options:\n"
      "  --archive PATH|URL          the archive: an SQLite file (default: archive.sqlite in the current\n"
      "                              folder) or postgresql://user@host:port/dbname?sslmode=...\n"
      "                              (the password from PGPASSWORD or ~/.pgpass)\n"
      "  --time-zone ZONE            the devices' time zone, which gives the UTC times of records\n"
      "                              imported, decoded again or carried over from an older archive\n"
      "                              (default: the system's)\n"
      "  --help                      show this text\n"
      "  --version                   show the version\n"
      "\n"
      "Exit status: 0 on success, 1 when a command failed (a query that ends in an error fails, it\n"
      "never gives part of the answer) or check found the archive not sound, 2 for a command line that\n"
      "cannot be used (an unknown command or option, an argument missing or too many, a bad value or\n"
      "time zone, an option the command does not take) or no archive at the path or URL given.\n");
}

ArchiveCommandLine ParseArchiveCommandLine(const QStringList& arguments) {
  ArchiveCommandLine result;
  QCommandLineParser parser;
  const QCommandLineOption archiveOption(QStringLiteral("archive"), QString(), QStringLiteral("PATH"));
  const QCommandLineOption deviceOption(QStringLiteral("device"), QString(), QStringLiteral("DEVICE"));
  const QCommandLineOption forceOption(QStringLiteral("force"));
  const QCommandLineOption fromOption(QStringLiteral("from"), QString(), QStringLiteral("T"));
  const QCommandLineOption toOption(QStringLiteral("to"), QString(), QStringLiteral("T"));
  const QCommandLineOption outOption(QStringLiteral("out"), QString(), QStringLiteral("FILE"));
  const QCommandLineOption formatOption(QStringLiteral("format"), QString(), QStringLiteral("FORMAT"));
  const QCommandLineOption bomOption(QStringLiteral("bom"));
  const QCommandLineOption limitsOption(QStringLiteral("limits"), QString(), QStringLiteral("FILE"));
  const QCommandLineOption timeZoneOption(QStringLiteral("time-zone"), QString(), QStringLiteral("ZONE"));
  const QCommandLineOption languageOption(QStringLiteral("lang"), QString(), QStringLiteral("LANGUAGE"));
  const QCommandLineOption hashOption(QStringLiteral("hash"));
  const QCommandLineOption reportOption(QStringLiteral("report"), QString(), QStringLiteral("FILE"));
  const QCommandLineOption helpOption(QStringLiteral("help"));
  const QCommandLineOption versionOption(QStringLiteral("version"));
  parser.addOptions({archiveOption, deviceOption, forceOption, fromOption, toOption, outOption, formatOption,
                     bomOption, limitsOption, timeZoneOption, languageOption, hashOption, reportOption,
                     helpOption, versionOption});
  if (!parser.parse(arguments)) {
    result.error = parser.errorText();
    return result;
  }
  result.helpRequested = parser.isSet(helpOption);
  result.versionRequested = parser.isSet(versionOption);
  if (result.helpRequested || result.versionRequested) return result;
  QStringList positional = parser.positionalArguments();
  const CommandRule* rule = RuleNamed(positional.value(0));
  if (!rule) {
    result.error = positional.isEmpty() ? QStringLiteral("No command given")
                                        : QStringLiteral("Unknown command \"%1\"").arg(positional.first());
    return result;
  }
  ArchiveCommand command;
  command.name = positional.takeFirst();
  command.arguments = positional;
  if (command.arguments.size() < rule->fewestArguments || command.arguments.size() > rule->mostArguments) {
    result.error = QStringLiteral("%1 takes %2").arg(command.name, QLatin1String(rule->arguments));
    return result;
  }
  for (const QString& option : parser.optionNames()) {
    if (option == QStringLiteral("archive") || option == QStringLiteral("time-zone") ||
        rule->options.contains(option))
      continue;
    result.error = QStringLiteral("%1 does not take --%2").arg(command.name, option);
    return result;
  }
  command.device = parser.value(deviceOption);
  command.force = parser.isSet(forceOption);
  command.from = parser.value(fromOption);
  command.to = parser.value(toOption);
  command.out = parser.value(outOption);
  command.format = parser.value(formatOption);
  command.byteOrderMark = parser.isSet(bomOption);
  command.limits = parser.value(limitsOption);
  command.timeZone = parser.value(timeZoneOption);
  command.language = parser.value(languageOption);
  command.hash = parser.isSet(hashOption);
  command.report = parser.value(reportOption);
  result.error = ValueProblem(command);
  if (!result.error.isEmpty()) return result;
  try {
    result.location =
        ParseArchiveLocation(parser.isSet(archiveOption) ? parser.value(archiveOption)
                                                         : QString::fromLatin1(DefaultArchiveFileName),
                             QString());
  } catch (const ValdError& error) {
    result.error = error.Message();
    return result;
  }
  if (result.location.IsOff()) {
    result.error = QStringLiteral("No archive to work on (--archive off)");
    return result;
  }
  result.command = command;
  return result;
}
